// A module that takes the lock through the file of the library it is linked against, so that a
// test can hold two files of the library side by side in one process.
#include <koa_dev/error_cluster.h>
#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>

// Takes the lock once, then marks the cache valid. 1: the cache was still valid when the lock was
// taken; 0: taking it declared the cache stale; -1: the lock failed.
extern "C" __attribute__((visibility("default"))) int LockThroughProbe() {
    static StateCache cache;
    ErrorCluster err;
    ResourceLock lock(&err, true);
    const int kept = err.Status() ? -1 : cache.ValueValid();
    cache.Valid(true);
    return kept;
}
