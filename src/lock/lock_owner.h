#pragma once

#include <cstdint>

// What the lock needs from the rest of the library.
namespace koa::lock {

// This loaded instance's owner stamp, taken from the library's own module when it was attached:
// on Windows the low 32 bits of its handle; equal wherever the same file is loaded.
uint32_t InstanceStamp();

// Declares every state cache of this instance stale.
void InvalidateStateCaches();

} // namespace koa::lock
