#pragma once

#include <koa_dev/lvhost.h>
#include <koa_dev/tarray_array.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

// Array contents as standard containers, for comparisons with readable failure messages.
template <typename T, int32_t C, typename H> std::vector<T> Values(const TArray<T, C, H>& a) {
    std::vector<T> out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(a[i]);
    return out;
}

inline std::vector<std::string> Values(const TStringArray& a) {
    std::vector<std::string> out;
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

// Checks all six comparisons of l and r against the sign of l - r.
template <typename A> void ExpectOrder(const A& l, const A& r, int sign) {
    SCOPED_TRACE(::testing::PrintToString(Values(l)) + " against " +
                 ::testing::PrintToString(Values(r)));
    EXPECT_TRUE((l == r) == (sign == 0) && (l != r) == (sign != 0));
    EXPECT_TRUE((l < r) == (sign < 0) && (l <= r) == (sign <= 0));
    EXPECT_TRUE((l > r) == (sign > 0) && (l >= r) == (sign >= 0));
}

// Disposes a LabVIEW array of handles and the dimSize handles it holds, as LabVIEW would.
inline void Free(void* h) {
    EXPECT_EQ(lvhost::Dispose(h), 0);
}

template <typename Record, typename = std::enable_if_t<std::is_pointer_v<
                               std::remove_reference_t<decltype(Record::elt[0])>>>>
void Free(Record** h) {
    for (int32_t i = 0; i < (*h)->dimSize; ++i) {
        if ((*h)->elt[i] != nullptr)
            Free((*h)->elt[i]);
    }
    Free(static_cast<void*>(h));
}
