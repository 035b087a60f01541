#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

class ErrorCluster;

namespace koa::memory {

// The value classes never throw: a buffer they cannot get leaves the value empty or unchanged.
// Each such failure is counted for the calling thread, so that an operation can tell that a value
// it built came out short (see guarded.h).
void NoteFailure();
unsigned long Failures();

// While a scope is alive, every failure on its thread is also recorded at once, as LabVIEW's
// "memory full", in the fatal code of its cluster and of the clusters of the scopes around it:
// an operation then stops at its next test of its cluster instead of going on with a value that
// came out short. A null cluster passes failures on to the scopes around it.
class FailureScope {
  public:
    explicit FailureScope(ErrorCluster* err);
    ~FailureScope();
    FailureScope(const FailureScope&) = delete;
    FailureScope& operator=(const FailureScope&) = delete;

  private:
    friend void NoteFailure();

    ErrorCluster* const err;
    FailureScope* const outer;
};

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
