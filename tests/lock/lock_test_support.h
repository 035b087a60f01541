#pragma once

#include <koa_dev/resource_lock.h>

#include <memory>
#include <random>
#include <string>

// Object names of one test, unlike those of any other test or test run on the machine.
inline std::string UniqueLockName(const char* what) {
    std::random_device random;
    return "koa_dev test " + std::to_string(random()) + "-" + std::to_string(random()) + " " + what;
}

// Takes the lock through a new object and releases it; true when no error was recorded.
inline bool LockOnce() {
    ErrorCluster err;
    ResourceLock lock(&err, true);
    return !err.Status();
}

// The work of a helper process (lock_helper.cpp): as another instance of the library, with the
// owner stamp 0x5eed, it takes the lock of the named objects and holds it until it is killed;
// exit code 2 when the lock failed.
int RunLockHelper(const std::string& mutexName, const std::string& memName);

// Starts a helper process, killed and waited for when the result is released: on Windows the
// helper program built next to the test executable, elsewhere a copy of this process.
std::shared_ptr<void> StartLockHelper(const std::string& mutexName, const std::string& memName);
