#include "support/allocations.h"

#include <cstdlib>
#include <new>

namespace {

allocations::Counters& c = allocations::counters;

// Records one request; false when it is to be refused.
bool Grant(size_t bytes) {
    if (!c.watching)
        return true;
    const size_t n = ++c.requests;
    size_t largest = c.largest;
    while (bytes > largest && !c.largest.compare_exchange_weak(largest, bytes)) {
    }
    if (n != c.refuseNth)
        return true;
    ++c.refused;
    return false;
}

void* Allocate(size_t bytes) noexcept {
    return Grant(bytes) ? std::malloc(bytes == 0 ? 1 : bytes) : nullptr;
}

void* AllocateOrThrow(size_t bytes) {
    if (void* p = Allocate(bytes))
        return p;
    throw std::bad_alloc();
}

void Free(void* p) noexcept {
    if (p != nullptr && c.watching)
        ++c.returned;
    std::free(p);
}

} // namespace

void* operator new(size_t bytes) {
    return AllocateOrThrow(bytes);
}
void* operator new[](size_t bytes) {
    return AllocateOrThrow(bytes);
}
void* operator new(size_t bytes, const std::nothrow_t&) noexcept {
    return Allocate(bytes);
}
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept {
    return Allocate(bytes);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, size_t) noexcept {
    Free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
