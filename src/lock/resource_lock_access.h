#pragma once

#include <cstdint>

namespace koa {

// Test access to the lock's process-wide state: objects of the test's own instead of the
// library's, a shorter wait, and a chosen owner stamp.
class ResourceLockAccess {
  public:
    // Opens the named objects as the library opens its own at load, creating them when absent,
    // and starts over as an instance that has not taken the lock yet, with the usual wait and
    // stamp.
    static void Open(const char* mutexName, const char* sharedMemName);
    static void ForgetMutex();
    static void ForgetView();
    static void SetWaitLimit(uint32_t milliseconds);
    static void SetStamp(uint32_t stamp);
    // The owner stamp now in the shared block; 0 without a view.
    static uint32_t Stamp();
};

} // namespace koa
