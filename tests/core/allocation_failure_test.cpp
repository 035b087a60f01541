// What the value classes do when memory runs out: no exception, and a change is made whole or
// not at all. The test program's operator new refuses one request after another.
#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "support/allocations.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Rows = TArrayArray<TArray<double, 10, LV_float64Array**>, double, LV_float64ArrayArray**>;
using TextRows = TArrayArray<TStringArray, TString, LV_stringArrayArray**>;

std::string Show(const TString& s) {
    return s.CStr();
}
std::string Show(const ErrorCluster& e) {
    return std::to_string(e.Code()) + ":" + e.Source().CStr();
}
template <typename T, int32_t C, typename H> std::string Show(const TArray<T, C, H>& a) {
    return std::to_string(a.GetSize());
}
template <typename List> std::string Show(const List& list, const char* separator = "|") {
    std::string text;
    for (int i = 0; i < list.GetSize(); ++i)
        text += (i ? separator : "") + Show(list[i]);
    return text;
}
template <typename Row, typename T, typename H> std::string Show(const TArrayArray<Row, T, H>& r) {
    return Show<TArrayArray<Row, T, H>>(r, "/");
}

// Makes change on a copy of start while the nth allocation of it is refused, for n = 1, 2, ...
// until the change needs no more: the result is done, or unchanged (by default start itself).
template <typename V, typename Change>
void ExpectWholeOrNothing(const V& start, Change change, const std::string& done,
                          const char* unchanged = nullptr) {
    for (size_t nth = 0;; ++nth) {
        V value(start);
        size_t refused = 0;
        {
            allocations::Watch watch;
            watch.RefuseNth(nth);
            EXPECT_NO_THROW(change(value)) << done;
            refused = watch.Refused();
        }
        if (nth > 0 && refused == 0) {
            EXPECT_GT(nth, 1u) << done << " allocates nothing";
            return;
        }
        const std::string expected = nth == 0 ? done : unchanged ? unchanged : Show(start);
        EXPECT_EQ(Show(value), expected) << "allocation " << nth << " refused";
    }
}

TEST(AllocationFailure, AValueChangeIsWholeOrNotMadeAndNothingIsThrown) {
    const TString abc("abc");
    ExpectWholeOrNothing(
        abc, [](TString& s) { s += "def"; }, "abcdef");
    ExpectWholeOrNothing(
        TString(), [&](TString& s) { s = TString(abc); }, "abc");
    ExpectWholeOrNothing(
        abc, [](TString& s) { s.Format("%s-%d", s.CStr(), 7); }, "abc-7");
    ErrorCluster warned;
    warned.SetWarning(2, "warning");
    ExpectWholeOrNothing(
        warned, [](ErrorCluster& e) { e.SetError(15, "missing '%s'", "KEY"); }, "15:missing 'KEY'",
        "15:");

    const TStringArray ab(2, "a", "b"), c(1, "c"), xy(2, "x", "y");
    ExpectWholeOrNothing(
        ab, [&](TStringArray& a) { a.Insert(xy, 1); }, "a|x|y|b");
    ExpectWholeOrNothing(
        TStringArray(), [&](TStringArray& a) { a = TStringArray(ab); }, "a|b");
    const TextRows rows(2, &ab, &c);
    ExpectWholeOrNothing(
        rows, [&](TextRows& r) { r.Initialize(c, 3); }, "c/c/c");
    ExpectWholeOrNothing(
        rows, [](TextRows& r) { r.Insert(r, 1); }, "a|b/a|b/c/c");
    ExpectWholeOrNothing(
        TStringArray(), [&](TStringArray& a) { a = rows.CreateFlattenedArray(); }, "a|b|c");
    const Rows sized(3, 2, 0, 4);
    ExpectWholeOrNothing(
        Rows(), [&](Rows& r) { r = sized; }, "2/0/4");
}

} // namespace
