#pragma once

#include <cstddef>

// The test program replaces operator new and delete with counting versions. While a Watch is
// alive they record what the code under test asks for and can refuse requests, as a machine out
// of memory would: the throwing forms throw std::bad_alloc, the nothrow forms return null.
namespace allocations {

class Watch {
  public:
    Watch();
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // Refuses every request of at least bytes bytes from now on.
    void RefuseFrom(size_t bytes);
    // Refuses the nth request from now (1 = the next one), and only that one; 0 refuses none.
    void RefuseNth(size_t n);
    // Refuses nothing from now on.
    void RefuseNone();

    size_t Requests() const;
    size_t Largest() const;
    size_t Refused() const;
};

} // namespace allocations
