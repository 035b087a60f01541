// A module that takes the lock through the file of the library it is linked against, so that a
// test can hold two files of the library side by side in one process.
#include <koa_dev/error_cluster.h>
#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>

// Marks the cache valid, then takes the lock once. 1: the cache stayed valid; 0: taking the lock
// declared it stale; -1: the lock failed.
extern "C" __attribute__((visibility("default"))) int LockThroughProbe() {
    static StateCache cache;
    cache.Valid(true);
    ErrorCluster err;
    ResourceLock lock(&err, true);
    return err.Status() ? -1 : cache.ValueValid();
}
