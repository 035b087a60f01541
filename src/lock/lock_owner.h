#pragma once

#include <cstdint>

// What the lock needs from the rest of the library.
namespace koa::lock {

// This loaded instance's owner stamp: the low 32 bits of the library's own module handle.
uint32_t InstanceStamp();

// Declares every state cache of this instance stale.
void InvalidateStateCaches();

} // namespace koa::lock
