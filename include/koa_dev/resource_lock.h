#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>

namespace koa {
class ResourceLockAccess;
}

// A scoped hold on the lock shared by every process and thread that has the library loaded.
// Taking it after another loaded instance of the library held it declares this instance's state
// caches stale.
class KOA_DEV_API ResourceLock {
  public:
    // Takes the lock when `lock` is true; otherwise only checks that it exists.
    ResourceLock(ErrorCluster* err, bool lock);
    ~ResourceLock();
    ResourceLock(const ResourceLock&) = delete;
    ResourceLock& operator=(const ResourceLock&) = delete;

    void Lock(ErrorCluster* err);
    void UnLock();

  private:
    friend class koa::ResourceLockAccess;

    bool Locked;

    static void* LockHandle;
    static void* SharedMemHandle;
    static void* SharedMemAddress;
    static bool SharedMemStatus;
};
