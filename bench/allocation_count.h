#pragma once

#include <cstdint>

namespace koa::bench {

// Number of calls to operator new in this program so far (the benchmark binary replaces it).
uint64_t Allocations();

} // namespace koa::bench
