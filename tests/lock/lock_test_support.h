#pragma once

#include <koa_dev/resource_lock.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

// Object names of one test, unlike those of any other test or test run on the machine.
inline std::string UniqueLockName(const char* what) {
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return "koa_dev test " + std::to_string(random()) + " " + what;
}

// Layout of the block that the test and its helper processes share besides the lock.
struct HelperBlock {
    volatile uint32_t inside;  // a helper is between lock and unlock
    volatile uint32_t counter; // increments made under the lock
    volatile uint32_t holding; // the holding helper has the lock
    volatile uint32_t start;   // the counting helpers may begin
};

// Takes the lock through a new object and releases it; true when no error was recorded.
inline bool LockOnce() {
    ErrorCluster err;
    ResourceLock lock(&err, true);
    return !err.Status();
}
