#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "arrays/array_values.h"
#include "support/lv_test.h"

#include <climits>
#include <utility>

namespace {

using Row = TArray<LV_int32, 3, LV_int32Array**>;
using Rows = TArrayArray<Row, LV_int32, LV_int32ArrayArray**>;
using TextRows = TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
using Ints = std::vector<LV_int32>;
using Grid = std::vector<Ints>;
using TextGrid = std::vector<std::vector<std::string>>;

TEST(TArrayArray, ConstructionAccessFlatteningAndBuilding) {
    const Rows sized(3, 2, 0, 4);
    EXPECT_EQ(Values(sized), (Grid{{0, 0}, {}, {0, 0, 0, 0}}));
    EXPECT_EQ(Values(sized.GetSizes()), (Ints{2, 0, 4}));
    EXPECT_EQ(Values(Rows(0, 1)), (Grid{{0}}));
    EXPECT_EQ(Values(TextRows(2, 2, 1)), (TextGrid{{"", ""}, {""}}));
    const Row a(2, 1, 2), b(3, 3, 4, 5), c(1, 6);
    EXPECT_EQ(Values(Rows(3, &a, static_cast<const Row*>(nullptr))), (Grid{{1, 2}, {}, {}}));
    const Row both[] = {a, c};
    EXPECT_EQ(Values(Rows(both, 2)), (Grid{{1, 2}, {6}}));
    EXPECT_EQ(Rows(both, 0).GetSize() + Rows(-1).GetSize() + Rows(2).GetTotalElements(), 0);
    EXPECT_EQ(Rows(static_cast<LV_int32ArrayArray**>(nullptr)).GetSize(), 0);

    Rows rows(Rows(2, &a, &c));
    const Rows& same = rows;
    rows = same;
    rows[10] = Row(1, 42);
    EXPECT_EQ(Values(rows[-1]), (Ints{42})) << "the shared row keeps writes";
    rows[-1] = Row();
    EXPECT_EQ(std::as_const(rows)[2].GetSize() + std::as_const(rows)[-1].GetSize(), 0);
    const Row* kept = &rows[1];
    rows.Insert(b, 1);
    EXPECT_EQ(&rows[2], kept);
    EXPECT_EQ(Values(rows.SubArray(1, -1)), (Grid{{3, 4, 5}, {6}}));
    EXPECT_EQ(Values(rows.CreateFlattenedArray()), (Ints{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rows.GetTotalElements(), 6);
    EXPECT_EQ(rows.GetUpperBound(), 2);
    rows.Insert(rows, 9);
    EXPECT_EQ(Values(rows.GetSizes()), (Ints{2, 3, 1, 2, 3, 1}));
    EXPECT_EQ(Values(rows.Initialize(7)[4]), (Ints{7, 7, 7}));
    EXPECT_EQ(Values(rows.Initialize(rows[4], 2)), (Grid{{7, 7, 7}, {7, 7, 7}}));
    EXPECT_EQ(Values(rows.Initialize(c, -1)), (Grid{{6}, {6}}));
    EXPECT_EQ(rows.Initialize(rows[0], 0).GetSize(), 0);

    const TStringArray ab(2, "a", "b"), c1(1, "c");
    TextRows text(2, &ab, &c1);
    EXPECT_EQ(text.CreateFlattenedArray(), TStringArray(3, "a", "b", "c"));
    EXPECT_EQ(Values(text.Initialize("z")), (TextGrid{{"z", "z"}, {"z"}}));
}

// A total that does not fit the count of one row is refused. The rows take address space but no
// memory (zeroed blocks are not written), so the test skips where a process has too little.
TEST(TArrayArray, TotalsBeyondAnIntAreRefused) {
    using Chars = TArray<char, 1, LV_int8Array**>;
    using CharRows = TArrayArray<Chars, char, LV_int8ArrayArray**>;
    const int half = 1100000000;
    CharRows rows(2, half, INT_MAX - half);
    if (rows[1].GetSize() != INT_MAX - half)
        GTEST_SKIP() << "no room for 2 GB of rows";
    EXPECT_EQ(rows.GetTotalElements(), INT_MAX);
    rows.Insert(Chars(1), 0);
    EXPECT_EQ(rows.GetTotalElements(), -1);
    EXPECT_EQ(rows.CreateFlattenedArray().GetSize(), 0);
}

class TArrayArrayOutput : public LvTest {};

TEST_F(TArrayArrayOutput, RowsGoOutWithTheirOwnLengthsInReusedHandles) {
    LV_int32ArrayArray** h = nullptr;
    ErrorCluster err;
    Rows(4, 1, 1, 1, 1).SetLV_Array(&err, &h);
    LV_int32Array** second = (*h)->elt[1];
    lvhost::Dispose((*h)->elt[0]);
    (*h)->elt[0] = nullptr;
    EXPECT_EQ(Values(Rows(h)), (Grid{{}, {0}, {0}, {0}}));
    lvhost::Reset();

    const Row a(3, 1, 2, 3), b(1, 4);
    Rows(2, &a, &b).SetLV_Array(&err, &h);
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(lvhost::DisposeCalls(), 2) << "the two surplus rows";
    EXPECT_EQ(lvhost::ResizeCalls(), 2 + 1 + 2) << "empty surplus rows, outer, rewrite";
    EXPECT_EQ((*h)->elt[1], second);
    EXPECT_EQ(Values(Rows(h)), (Grid{{1, 2, 3}, {4}}));
    err.SetFatal(4);
    Rows().SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 2);
    Free(h);
}

TEST_F(TArrayArrayOutput, TextRowsAreEmptiedBeforeDisposalAndFailuresLeaveCompleteRows) {
    LV_stringArrayArray** h = nullptr;
    ErrorCluster err;
    const TStringArray ab(2, "a", "b"), cde(3, "c", "d", "e"), x(1, "x");
    TextRows(2, &ab, &cde).SetLV_Array(&err, &h);
    TextRows(1, &x).SetLV_Array(&err, &h);
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(Values(TextRows(h)), (TextGrid{{"x"}}));
    TextRows(3, &x, &cde, &cde).SetLV_Array(&err, &h); // the last row outlives the failure below
    // Calls: outer, then per row one resize and one per string; the 6th is the second row's "a".
    lvhost::FailCall(6, lvhost::kMemoryFull);
    TextRows(3, &ab, &ab, &ab).SetLV_Array(&err, &h);
    EXPECT_EQ(err.FatalCode(), lvhost::kMemoryFull);
    EXPECT_EQ(Values(TextRows(h)), (TextGrid{{"a", "b"}}));
    Free(h); // the leak check finds any string of a dropped row still alive
}

} // namespace
