// A module that takes the lock through the file of the library it is linked against, so that a
// test can hold two files of the library side by side in one process.
#include <koa_dev/error_cluster.h>
#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>

namespace {

StateCache cache;

} // namespace

// Takes the lock once, then marks the cache valid. 1: the cache was still valid when the lock was
// taken; 0: taking it declared the cache stale; -1: the lock failed.
extern "C" __attribute__((visibility("default"))) int LockThroughProbe() {
    ErrorCluster err;
    ResourceLock lock(&err, true);
    if (err.Status())
        return -1;
    const bool kept = cache.ValueValid();
    cache.Valid(true);
    return kept ? 1 : 0;
}
