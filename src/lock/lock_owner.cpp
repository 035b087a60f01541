#include "lock/lock_owner.h"

#include "modules/module_handles.h"

#include <koa_dev/state_cache.h>

namespace koa::lock {

uint32_t InstanceStamp() {
    return moduleStamp;
}

void InvalidateStateCaches() {
    StateCache::InvalidateAll();
}

} // namespace koa::lock
