#pragma once

#include "core/memory.h"

#include <cstddef>

namespace koa::arrays {

// The tables of TStringArray and TArrayArray: blocks of pointers to objects that the table owns.

template <typename E> void DeleteTable(E** table, int n) {
    for (int i = 0; i < n; ++i)
        delete table[i];
    memory::FreeBlock(table);
}

// A table of n objects, object i made by make(i) (which gives null when it cannot). Null, with
// nothing left behind, for n < 1 and when the table, an object, or any memory an object needed
// could not be had: a copied value never comes out short.
template <typename E, typename Make> E** NewTable(int n, Make make) {
    if (n < 1)
        return nullptr;
    const unsigned long failures = memory::Failures();
    E** table = static_cast<E**>(memory::Block(static_cast<size_t>(n), sizeof(E*)));
    int made = 0;
    while (table != nullptr && made < n && memory::Failures() == failures) {
        table[made] = make(made);
        if (table[made] != nullptr)
            ++made;
    }
    if (table != nullptr && made == n && memory::Failures() == failures)
        return table;
    if (table != nullptr)
        DeleteTable(table, made);
    return nullptr;
}

} // namespace koa::arrays
