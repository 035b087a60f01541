#include "lock/lock_owner.h"

#include "libraries/module_handles.h"

#include <koa_dev/state_cache.h>

namespace koa::lock {

uint32_t InstanceStamp() {
    return moduleStamp;
}

void InvalidateStateCaches() {
    StateCache::InvalidateAll();
}

} // namespace koa::lock
