#include "arrays/array_values.h"
#include "core/memory.h"
#include "support/allocations.h"
#include "support/lv_test.h"

#include <climits>

using Grid = std::vector<Ints>;
using TextGrid = std::vector<Strings>;

TEST(TArrayArray, ConstructionAccessFlatteningAndBuilding) {
    const Int32s a(2, 1, 2), b(3, 3, 4, 5), c(1, 6), both[] = {a, c};
    EXPECT_EQ(
        (std::vector{Values(Rows(3, 2, 0, 4)), Values(Rows(0, 1)),
                     Values(Rows(3, &a, static_cast<Int32s*>(nullptr))), Values(Rows(both, 2))}),
        (std::vector<Grid>{{{0, 0}, {}, {0, 0, 0, 0}}, {{0}}, {{1, 2}, {}, {}}, {{1, 2}, {6}}}));
    EXPECT_EQ(Values(TextRows(2, 2, 1)), (TextGrid{{"", ""}, {""}}));
    EXPECT_EQ(Rows(both, 0).GetSize() + Rows(-1).GetSize() + Rows(2).GetTotalElements() +
                  Rows(static_cast<LV_int32ArrayArray**>(nullptr)).GetSize(),
              0);

    Rows rows(Rows(2, &a, &c));
    const Rows& same = rows;
    rows = same;
    rows[10] = Int32s(1, 42);
    EXPECT_EQ(Values(rows[-1]), (Ints{42})) << "the shared row keeps writes";
    EXPECT_EQ(std::as_const(rows)[2].GetSize() + std::as_const(rows)[-1].GetSize(), 0);
    rows[-1] = Int32s();
    const Int32s* kept = &rows[1];
    EXPECT_EQ(&rows.Insert(b, 1)[2], kept);
    EXPECT_EQ(Values(rows.SubArray(1, -1)), (Grid{{3, 4, 5}, {6}}));
    EXPECT_EQ(std::pair(rows.GetTotalElements(), rows.GetUpperBound()),
              (std::pair<LV_int32, int>(6, 2)));
    EXPECT_EQ((std::vector{Values(rows.CreateFlattenedArray()), Values(Rows(3, 2, 0, 4).GetSizes()),
                           Values(rows.Insert(rows, 9).GetSizes()), Values(rows.Initialize(7)[4])}),
              (std::vector<Ints>{{1, 2, 3, 4, 5, 6}, {2, 0, 4}, {2, 3, 1, 2, 3, 1}, {7, 7, 7}}));
    EXPECT_EQ((std::vector{Values(rows.Initialize(rows[4], 2)), Values(rows.Initialize(c, -1))}),
              (std::vector<Grid>{{{7, 7, 7}, {7, 7, 7}}, {{6}, {6}}}));
    EXPECT_EQ(rows.Initialize(rows[0], 0).GetSize(), 0);

    const TStringArray ab(2, "a", "b"), c1(1, "c");
    TextRows text(2, &ab, &c1);
    EXPECT_EQ(Values(text.CreateFlattenedArray()), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Values(text.Initialize("z")), (TextGrid{{"z", "z"}, {"z"}}));
}

// A total that does not fit the count of one row is refused. The rows take address space but no
// memory (zeroed blocks are not written), so the test skips where a process has too little.
TEST(TArrayArray, TotalsBeyondAnIntAreRefused) {
    using CharRows = TArrayArray<Int8s, char, LV_int8ArrayArray**>;
    const int half = 1100000000;
    CharRows rows(2, half, INT_MAX - half);
    if (rows[1].GetSize() != INT_MAX - half)
        GTEST_SKIP() << "no room for 2 GB of rows";
    EXPECT_EQ(rows.GetTotalElements(), INT_MAX);
    const auto failures = koa::memory::Failures(); // a row that would outgrow an int is refused
    rows[0].Insert(rows[0], 0);
    EXPECT_EQ(std::pair(rows[0].GetSize(), koa::memory::Failures()), std::pair(half, failures + 1));
    rows.Insert(Int8s(1), 0);
    EXPECT_EQ(std::pair(rows.GetTotalElements(), rows.CreateFlattenedArray().GetSize()),
              (std::pair<LV_int32, int>(-1, 0)));
}

// Values made from handles, copied, assigned, cut, grown and destroyed give back every block they
// took. The second round is counted, after whatever the first made once for the process.
TEST(ArrayMemory, ValuesGiveBackWhatTheyTook) {
    const auto round = [] {
        ErrorCluster err;
        LV_stringArrayArray** h = nullptr;
        TStringArray ab(2, "a", "b");
        ab = TStringArray(ab.Insert(ab, 1));
        TextRows text(2, &ab, &ab), copy(text);
        copy = text.SubArray(1, 1);
        copy.Insert(text, 0).Initialize(ab, 3).SetLV_Array(&err, &h);
        text = TextRows(h);
        Free(h);
        const Int32s a(3, 1, 2, 3);
        Rows(2, &a, &a).Insert(Rows(1, 4), 1).CreateFlattenedArray().SubArray(2, 3);
    };
    round();
    allocations::Watch watch;
    round();
    EXPECT_EQ(watch.Outstanding(), 0u);
}

class TArrayArrayOutput : public LvTest {};

TEST_F(TArrayArrayOutput, RowsGoOutWithTheirOwnLengthsInReusedHandles) {
    LV_int32ArrayArray** h = nullptr;
    ErrorCluster err;
    Rows(4, 1, 1, 1, 1).SetLV_Array(&err, &h);
    lvhost::Dispose((*h)->elt[0]);
    (*h)->elt[0] = nullptr;
    EXPECT_EQ(Values(Rows(h)), (Grid{{}, {0}, {0}, {0}}));
    lvhost::Reset();

    const Int32s a(3, 1, 2, 3), b(1, 4);
    Rows(2, &a, &b).SetLV_Array(&err, &h);
    // Disposed: the two surplus rows. Resized: those rows to empty, the outer array, two rows.
    EXPECT_EQ(std::tuple(err.Status(), lvhost::DisposeCalls(), lvhost::ResizeCalls()),
              std::tuple(false, 2, 5));
    EXPECT_EQ(Values(Rows(h)), (Grid{{1, 2, 3}, {4}}));
    Free(h);
}

TEST_F(TArrayArrayOutput, TextRowsAreEmptiedBeforeDisposalAndFailuresLeaveCompleteRows) {
    LV_stringArrayArray** h = nullptr;
    ErrorCluster err;
    const TStringArray ab(2, "a", "b"), cde(3, "c", "d", "e"), x(1, "x");
    TextRows(2, &ab, &cde).SetLV_Array(&err, &h);
    TextRows(1, &x).SetLV_Array(&err, &h);
    EXPECT_EQ(Values(TextRows(h)), (TextGrid{{"x"}}));
    TextRows(3, &x, &cde, &cde).SetLV_Array(&err, &h); // the last row outlives the failure below
    // Calls: outer, then per row one resize and one per string; the 6th is the second row's "a".
    lvhost::FailCall(6, lvhost::kMemoryFull);
    TextRows(3, &ab, &ab, &ab).SetLV_Array(&err, &h);
    EXPECT_EQ(std::tuple(err.FatalCode(), Values(TextRows(h))),
              std::tuple(lvhost::kMemoryFull, TextGrid{{"a", "b"}}));
    Free(h); // the leak check finds any string of a dropped row still alive
}
