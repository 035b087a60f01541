#include "support/allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kNever = static_cast<size_t>(-1);

std::atomic<bool> g_watching{false};
std::atomic<size_t> g_requests{0};
std::atomic<size_t> g_largest{0};
std::atomic<size_t> g_refused{0};
std::atomic<size_t> g_refuseFrom{kNever};
std::atomic<size_t> g_refuseNth{0};

// Records one request; false when it is to be refused.
bool Grant(size_t bytes) {
    if (!g_watching)
        return true;
    const size_t n = ++g_requests;
    size_t largest = g_largest;
    while (bytes > largest && !g_largest.compare_exchange_weak(largest, bytes)) {
    }
    if (bytes < g_refuseFrom && n != g_refuseNth)
        return true;
    ++g_refused;
    return false;
}

void* Allocate(size_t bytes) noexcept {
    return Grant(bytes) ? std::malloc(bytes == 0 ? 1 : bytes) : nullptr;
}

void* AllocateOrThrow(size_t bytes) {
    void* p = Allocate(bytes);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace allocations {

Watch::Watch() {
    g_requests = 0;
    g_largest = 0;
    g_refused = 0;
    g_refuseFrom = kNever;
    g_refuseNth = 0;
    g_watching = true;
}

Watch::~Watch() {
    g_watching = false;
}

void Watch::RefuseFrom(size_t bytes) {
    g_refuseFrom = bytes;
}

void Watch::RefuseNth(size_t n) {
    g_refuseNth = n == 0 ? 0 : g_requests + n;
}

void Watch::RefuseNone() {
    g_refuseFrom = kNever;
    g_refuseNth = 0;
}

size_t Watch::Requests() const {
    return g_requests;
}

size_t Watch::Largest() const {
    return g_largest;
}

size_t Watch::Refused() const {
    return g_refused;
}

} // namespace allocations

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
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
