#include "lock/lock_owner.h"

namespace koa::lock {

uint32_t InstanceStamp() {
    return 0;
}

void InvalidateStateCaches() {}

} // namespace koa::lock
