#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/lvhost.h>
#include <koa_dev/tarray_array.h>

#include <gtest/gtest.h>

using Int8s = TArray<char, 1, LV_int8Array**>;
using UInt8s = TArray<unsigned char, 5, LV_uInt8Array**>;
using Int16s = TArray<short, 2, LV_int16Array**>;
using UInt16s = TArray<unsigned short, 6, LV_uInt16Array**>;
using Int32s = TArray<LV_int32, 3, LV_int32Array**>;
using UInt32s = TArray<LV_uInt32, 7, LV_uInt32Array**>;
using Floats = TArray<float, 9, LV_float32Array**>;
using Doubles = TArray<double, 10, LV_float64Array**>;
using Bools = TArray<bool, 1, LV_boolArray**>;
using Rows = TArrayArray<Int32s, LV_int32, LV_int32ArrayArray**>;
using TextRows = TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
using Ints = std::vector<LV_int32>;
using Strings = std::vector<std::string>;

// Array contents as standard containers, for comparisons with readable failure messages.
template <typename T, int32_t C, typename H> std::vector<T> Values(const TArray<T, C, H>& a) {
    std::vector<T> out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(a[i]);
    return out;
}

inline Strings Values(const TStringArray& a) {
    Strings out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(a[i].CStr());
    return out;
}

template <typename Row, typename T, typename H> auto Values(const TArrayArray<Row, T, H>& rows) {
    std::vector<decltype(Values(Row()))> out;
    for (int i = 0; i < rows.GetSize(); ++i)
        out.push_back(Values(rows[i]));
    return out;
}

template <typename T, int32_t C, typename H> H HandleOf(const TArray<T, C, H>&);
template <typename T, int32_t C, typename H>
std::integral_constant<int32_t, C> TypeCodeOf(const TArray<T, C, H>&);

// The sign of l - r on which all six comparisons agree, or 2 when they disagree.
template <typename A> int Order(const A& l, const A& r) {
    const int sign = (l > r) - (l < r);
    const bool agree = (l == r) == (sign == 0) && (l != r) == (sign != 0) &&
                       (l <= r) == (sign <= 0) && (l >= r) == (sign >= 0);
    return agree ? sign : 2;
}

// Disposes a LabVIEW handle and, for an array of handles, the dimSize handles it holds.
inline void Free(LStr** h) {
    EXPECT_EQ(lvhost::Dispose(h), 0);
}
template <typename Record> void Free(Record** h) {
    if constexpr (std::is_pointer_v<std::remove_reference_t<decltype((*h)->elt[0])>>) {
        for (int32_t i = 0; i < (*h)->dimSize; ++i)
            if ((*h)->elt[i] != nullptr)
                Free((*h)->elt[i]);
    }
    EXPECT_EQ(lvhost::Dispose(h), 0);
}
