#include "arrays/array_values.h"
#include "support/lv_test.h"

#include <cmath>

TEST(TArray, ConstructionCopiesAndNeutralOutOfRangeAccess) {
    EXPECT_EQ(Int32s(-5).GetSize() + Int32s(static_cast<const LV_int32*>(nullptr), 2).GetSize(), 0);
    EXPECT_EQ(static_cast<const LV_int32*>(Int32s(0)), nullptr);
    const LV_int32 raw[] = {4, 5};
    Int32s a(raw, 2), b(a);
    const Int32s& same = b;
    b[0] = 9;
    b = same;
    b[2] = 42;
    EXPECT_EQ(b[7], 0) << "the dummy element is cleared on every access";
    b[-1] = 9;
    EXPECT_EQ((std::vector{Values(a), Values(b), Values(Int32s(3))}),
              (std::vector<Ints>{{4, 5}, {9, 5}, {0, 0, 0}}));
    EXPECT_EQ(std::as_const(b)[2] + std::as_const(b)[-1] + b.GetUpperBound(), 1);
    EXPECT_EQ((b = Int32s()).GetUpperBound(), -1);

    // Variable arguments arrive promoted and are converted back; missing values are zero.
    EXPECT_EQ((std::vector{Values(Int32s(0, 7)), Values(Int32s(3, 1, 2)), Values(Int32s(1, 1, 2))}),
              (std::vector<Ints>{{7}, {1, 2, 0}, {1}}));
    EXPECT_EQ(Values(Floats(2, 1.5f, 2.5)), (std::vector<float>{1.5f, 2.5f}));
    EXPECT_EQ(Values(Int8s(3, 'a', -1, 300)), (std::vector<char>{'a', -1, static_cast<char>(300)}));
    EXPECT_EQ(Values(UInt16s(2, 65535, 65536)), (std::vector<unsigned short>{65535, 0}));
    EXPECT_EQ(Values(Bools(3, true, 0, 2)), (std::vector<bool>{true, false, true}));
}

TEST(TArray, SubArrayInsertInitializeAndOrder) {
    const Int32s a(4, 10, 20, 30, 40);
    // start and count given, then the start and count of the expected part of a.
    const int cases[][4] = {{1, 2, 1, 2}, {2, -1, 2, 2}, {3, 5, 3, 1}, {1, 0x7fffffff, 1, 3},
                            {0, 4, 0, 4}, {-1, 2, 0, 0}, {4, 1, 0, 0}, {1, 0, 0, 0}};
    const Ints all = Values(a);
    for (const auto& c : cases)
        EXPECT_EQ(Values(a.SubArray(c[0], c[1])), Ints(all.data() + c[2], all.data() + c[2] + c[3]))
            << c[0] << ',' << c[1];

    Int32s b(2, 10, 20);
    EXPECT_EQ(Values(b.Insert(99, 1)), (Ints{10, 99, 20}));
    EXPECT_EQ(Values(b.Insert(7, 3).Insert(8, -1).Insert(6, 0).Insert(5, 7)),
              (Ints{6, 10, 99, 20, 7, 8, 5}));
    Int32s self(2, 1, 2);
    EXPECT_EQ(Values(self.Insert(self, 1).Insert(Int32s(), 0)), (Ints{1, 1, 2, 2}));
    EXPECT_EQ((std::vector{Values(self.Initialize(5, -1)), Values(self.Initialize(6, 2))}),
              (std::vector<Ints>{{5, 5, 5, 5}, {6, 6}}));
    EXPECT_EQ(static_cast<const LV_int32*>(self.Initialize(5, 0)), nullptr);

    // Lexicographic, then the longer array is greater; a NaN matches anything.
    const double nan = std::nan("");
    EXPECT_EQ((Ints{Order(Int32s(2, 1, 2), Int32s(2, 1, 3)),
                    Order(Int32s(2, 1, 2), Int32s(3, 1, 2, INT32_MIN)),
                    Order(Int32s(1, 2), Int32s(3, 1, 9, 9)),
                    Order(Int32s(3, 1, 2, 3), Int32s(3, 1, 2, 3)), Order(Int32s(), Int32s()),
                    Order(Int8s(1, -1), Int8s(1, 1)), Order(UInt8s(1, 255), UInt8s(1, 1)),
                    Order(Doubles(2, 1.0, nan), Doubles(2, 1.0, 5.0)),
                    Order(Doubles(2, nan, 1.0), Doubles(2, nan, 2.0))}),
              (Ints{-1, -1, 1, 0, 0, -1, 1, 0, -1}));
}

// Every instantiation must put its elements where LabVIEW's manager does, with its own type code.
template <typename A> class TArrayHandles : public LvTest {};
using AllArrays =
    ::testing::Types<Int8s, UInt8s, Int16s, UInt16s, Int32s, UInt32s, Floats, Doubles, Bools>;
TYPED_TEST_SUITE(TArrayHandles, AllArrays);

TYPED_TEST(TArrayHandles, RoundTripThroughAHandle) {
    using Array = TypeParam;
    decltype(HandleOf(Array())) h = nullptr;
    ErrorCluster err(true, 5, "an ordinary error does not stop output");
    const Array written(3, 1, 0, 1);
    written.SetLV_Array(&err, &h);
    ASSERT_EQ((*h)->dimSize, 3);
    EXPECT_EQ(reinterpret_cast<char*>(&(*h)->elt[0]) - reinterpret_cast<char*>(*h),
              static_cast<ptrdiff_t>(lvhost::DataOffset(decltype(TypeCodeOf(written))::value, 1)));
    EXPECT_TRUE(Array(h) == written);
    Array().SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize + Array(h).GetSize() + Array(decltype(h)(nullptr)).GetSize(), 0);
    Array(5).SetLV_Array(&err, &h);
    lvhost::FailCall(1, 77);
    Array().SetLV_Array(&err, &h);
    written.SetLV_Array(&err, &h);
    EXPECT_EQ(std::tuple(err.FatalCode(), (*h)->dimSize, lvhost::ResizeCalls()),
              std::tuple(77, 5, 4))
        << "a fatal code stops all output";
    EXPECT_EQ(lvhost::Dispose(h), 0);
}
