#pragma once

#include <koa_dev/resource_lock.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Object names of one test, unlike those of any other test or test run on the machine.
inline std::string UniqueLockName(const char* what) {
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return "koa_dev test " + std::to_string(random()) + " " + what;
}

// Takes the lock through a new object and releases it; true when no error was recorded.
inline bool LockOnce() {
    ErrorCluster err;
    ResourceLock lock(&err, true);
    return !err.Status();
}

// The block that a test and its helper processes share besides the lock.
struct HelperBlock {
    volatile uint32_t inside;  // a helper is between lock and unlock
    volatile uint32_t counter; // increments made under the lock
    volatile uint32_t holding; // the holding helper has the lock
    volatile uint32_t start;   // the helpers may begin
};

// The work of a helper process (lock_helper.cpp); its exit code.
int RunLockHelper(const std::vector<std::string>& args);

// A helper process: on Windows the helper program built next to the test executable, elsewhere
// a copy of this process.
class HelperProcess {
  public:
    explicit HelperProcess(const std::vector<std::string>& args);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() const;
    // Exit code once it has ended; -1 when it could not be waited for.
    int Wait();
    // Ends it at once, without any chance to clean up.
    void Kill();

  private:
    void* process = nullptr;
    long pid = -1;
};
