// What the value classes do when memory runs out: no exception, and a change is made whole or
// not at all. The test program's operator new refuses one request after another.
#include "arrays/array_values.h"
#include "support/allocations.h"

namespace {

std::string Values(const TString& s) {
    return s.CStr();
}
std::string Values(const ErrorCluster& e) {
    return std::to_string(e.Code()) + ":" + e.Source().CStr();
}

// Makes change on a copy of start while the nth allocation of it is refused, for n = 1, 2, ...
// until the change needs no more: the result is done, or unchanged (by default start itself).
template <typename V, typename Change>
void ExpectWholeOrNothing(const V& start, const V& done, Change change,
                          const V* unchanged = nullptr) {
    for (size_t nth = 0;; ++nth) {
        V value(start);
        allocations::Watch watch;
        watch.RefuseNth(nth);
        EXPECT_NO_THROW(change(value)) << ::testing::PrintToString(Values(done));
        watch.RefuseNone();
        if (nth > 0 && watch.Refused() == 0) {
            EXPECT_GT(nth, 1u) << ::testing::PrintToString(Values(done)) << " allocates nothing";
            return;
        }
        const V& expected = nth == 0 ? done : unchanged ? *unchanged : start;
        EXPECT_EQ(Values(value), Values(expected)) << "allocation " << nth << " refused";
    }
}

TEST(AllocationFailure, AValueChangeIsWholeOrNotMadeAndNothingIsThrown) {
    const TString abc("abc");
    ExpectWholeOrNothing(abc, TString("abcdef"), [](TString& s) { s += "def"; });
    ExpectWholeOrNothing(TString(), abc, [&](TString& s) { s = TString(abc); });
    ExpectWholeOrNothing(abc, TString("abc-7"), [](TString& s) { s.Format("%s-%d", s.CStr(), 7); });
    ErrorCluster warned, partly(true, 15, "");
    warned.SetWarning(2, "warning");
    ExpectWholeOrNothing(
        warned, ErrorCluster(true, 15, "missing 'KEY'"),
        [](ErrorCluster& e) { e.SetError(15, "missing '%s'", "KEY"); }, &partly);

    const TStringArray ab(2, "a", "b"), c(1, "c"), xy(2, "x", "y");
    ExpectWholeOrNothing(ab, TStringArray(4, "a", "x", "y", "b"),
                         [&](TStringArray& a) { a.Insert(xy, 1); });
    ExpectWholeOrNothing(TStringArray(), ab, [&](TStringArray& a) { a = TStringArray(ab); });
    const TextRows rows(2, &ab, &c);
    ExpectWholeOrNothing(rows, TextRows(3, &c, &c, &c), [&](TextRows& r) { r.Initialize(c, 3); });
    ExpectWholeOrNothing(rows, TextRows(4, &ab, &ab, &c, &c), [](TextRows& r) { r.Insert(r, 1); });
    ExpectWholeOrNothing(TStringArray(), TStringArray(3, "a", "b", "c"),
                         [&](TStringArray& a) { a = rows.CreateFlattenedArray(); });
    using DoubleRows = TArrayArray<Doubles, double, LV_float64ArrayArray**>;
    const DoubleRows sized(3, 2, 0, 4);
    ExpectWholeOrNothing(DoubleRows(), sized, [&](DoubleRows& r) { r = sized; });
}

} // namespace
