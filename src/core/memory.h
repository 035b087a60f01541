#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

namespace koa::memory {

// The value classes never throw: a buffer they cannot get leaves the value empty or unchanged.
// Each such failure is counted for the calling thread, so that an operation with an error
// cluster can tell that a value it built came out short (see guarded.h).
void NoteFailure();
unsigned long Failures();

// n default-initialised objects (plain values are left unset), or null when n of them cannot be
// held.
template <typename T> T* NewArray(size_t n) {
    T* p = n <= std::numeric_limits<size_t>::max() / sizeof(T) ? new (std::nothrow) T[n] : nullptr;
    if (p == nullptr)
        NoteFailure();
    return p;
}

template <typename T, typename... Args> T* New(Args&&... args) {
    T* p = new (std::nothrow) T(std::forward<Args>(args)...);
    if (p == nullptr)
        NoteFailure();
    return p;
}

// Blocks of n (at least one) plain elements of the given size, zeroed or not; null when the memory
// is not there. Large zeroed blocks cost nothing until they are written. Freed with FreeBlock.
void* ZeroedBlock(size_t n, size_t size);
void* Block(size_t n, size_t size);
void FreeBlock(void* block);

} // namespace koa::memory
