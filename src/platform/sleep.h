#pragma once

#include <cstdint>

namespace koa::platform {

// Suspends the calling thread for at least the given number of milliseconds.
void SleepMilliseconds(uint32_t milliseconds);

} // namespace koa::platform
