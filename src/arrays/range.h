#pragma once

#include "core/memory.h"

#include <algorithm>
#include <climits>
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

// A block for n plain elements (see memory::Block); null for n = 0 and when it cannot be had.
template <typename E> E* NewBlock(int n) {
    return n > 0 ? static_cast<E*>(memory::Block(static_cast<size_t>(n), sizeof(E))) : nullptr;
}

// Replaces the block items of count elements with a new one holding the n added elements before
// pos (see InsertPosition). They are copied before the old block is freed, so they may come from
// it. False, with nothing changed, when the new count does not fit an int or its block cannot be
// had.
template <typename E> bool SpliceBlock(E*& items, int& count, const E* added, int n, int pos) {
    if (n > INT_MAX - count) {
        memory::NoteFailure();
        return false;
    }
    E* block = NewBlock<E>(count + n);
    if (block == nullptr && count + n > 0)
        return false;
    pos = InsertPosition(pos, count);
    std::copy(items, items + pos, block);
    std::copy(added, added + n, block + pos);
    std::copy(items + pos, items + count, block + pos + n);
    memory::FreeBlock(items);
    items = block;
    count += n;
    return true;
}

} // namespace koa::arrays
