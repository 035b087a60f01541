#include "core/memory.h"

#include <cstdlib>

namespace {

thread_local unsigned long t_failures = 0;

void* Noted(void* block) {
    if (block == nullptr)
        koa::memory::NoteFailure();
    return block;
}

} // namespace

namespace koa::memory {

void NoteFailure() {
    ++t_failures;
}

unsigned long Failures() {
    return t_failures;
}

void* ZeroedBlock(size_t n, size_t size) {
    return Noted(std::calloc(n, size));
}

void* Block(size_t n, size_t size) {
    const bool fits = size == 0 || n <= std::numeric_limits<size_t>::max() / size;
    return Noted(fits ? std::malloc(n * size) : nullptr);
}

void FreeBlock(void* block) {
    std::free(block);
}

} // namespace koa::memory
