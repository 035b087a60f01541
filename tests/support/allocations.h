#pragma once

#include <atomic>
#include <cstddef>

// The test program replaces operator new and delete with counting versions. While a Watch is
// alive they record what the code under test asks for and can refuse requests, as a machine out
// of memory would: the throwing forms throw std::bad_alloc, the nothrow forms return null.
namespace allocations {

struct Counters {
    std::atomic<bool> watching{false};
    std::atomic<size_t> requests{0}, largest{0}, refused{0}, refuseNth{0}, returned{0};
};
inline Counters counters;

class Watch {
  public:
    Watch() {
        RefuseNone();
        counters.requests = counters.largest = counters.refused = counters.returned = 0;
        counters.watching = true;
    }
    ~Watch() { counters.watching = false; }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // Refuses the nth request from now (1 = the next one), and only that one; 0 refuses none.
    void RefuseNth(size_t n) { counters.refuseNth = n == 0 ? 0 : counters.requests + n; }
    // Refuses nothing from now on.
    void RefuseNone() { RefuseNth(0); }

    size_t Largest() const { return counters.largest; }
    size_t Refused() const { return counters.refused; }
    // Blocks granted and not yet given back.
    size_t Outstanding() const { return counters.requests - counters.refused - counters.returned; }
};

} // namespace allocations
