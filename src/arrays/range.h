#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace koa::arrays {

// Length of the range of SubArray(start, n) in an array of count elements: n when the range fits,
// otherwise everything from start to the end (so a negative n reaches to the end); 0 when start
// is negative or nothing remains.
inline int SubRangeLength(int start, int n, int count) {
    if (start < 0 || start >= count)
        return 0;
    const int64_t end = int64_t{start} + n;
    return n >= 0 && end <= count ? n : count - start;
}

// Where an insertion lands: before pos, or at the end when pos is outside 0 ... count.
inline int InsertPosition(int pos, int count) {
    return pos < 0 || pos > count ? count : pos;
}

// Replaces the block items of count elements with a new one holding the n added elements before
// pos (see InsertPosition). They are copied before the old block is freed, so they may come from
// it.
template <typename E> void SpliceBlock(E*& items, int& count, const E* added, int n, int pos) {
    pos = InsertPosition(pos, count);
    E* block = count + n > 0 ? new E[static_cast<size_t>(count + n)] : nullptr;
    std::copy(items, items + pos, block);
    std::copy(added, added + n, block + pos);
    std::copy(items + pos, items + count, block + pos + n);
    delete[] items;
    items = block;
    count += n;
}

} // namespace koa::arrays
