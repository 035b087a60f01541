#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray.h>

#include "arrays/array_values.h"
#include "core/lv_manager.h"
#include "support/lv_test.h"

#include <cmath>
#include <utility>

namespace {

using Int8s = TArray<char, 1, LV_int8Array**>;
using UInt8s = TArray<unsigned char, 5, LV_uInt8Array**>;
using UInt16s = TArray<unsigned short, 6, LV_uInt16Array**>;
using Int32s = TArray<LV_int32, 3, LV_int32Array**>;
using Floats = TArray<float, 9, LV_float32Array**>;
using Doubles = TArray<double, 10, LV_float64Array**>;
using Bools = TArray<bool, 1, LV_boolArray**>;
using Ints = std::vector<LV_int32>;

TEST(TArray, ConstructionCopiesAndNeutralOutOfRangeAccess) {
    EXPECT_EQ(Int32s(-5).GetSize() + Int32s(static_cast<const LV_int32*>(nullptr), 2).GetSize(), 0);
    EXPECT_EQ(static_cast<const LV_int32*>(Int32s(0)), nullptr);
    EXPECT_EQ(Values(Int32s(3)), (Ints{0, 0, 0}));
    const LV_int32 raw[] = {4, 5};
    Int32s a(raw, 2), b(a);
    const Int32s& same = b;
    b[0] = 9;
    b = same;
    EXPECT_EQ(Values(a), (Ints{4, 5}));
    EXPECT_EQ(Values(b), (Ints{9, 5}));
    b[2] = 42;
    EXPECT_EQ(b[7], 0) << "the dummy element is cleared on every access";
    b[-1] = 9;
    EXPECT_EQ(Values(b), (Ints{9, 5}));
    EXPECT_EQ(std::as_const(b)[2] + std::as_const(b)[-1], 0);
    EXPECT_EQ(b.GetUpperBound(), 1);
    b = Int32s();
    EXPECT_EQ(b.GetUpperBound(), -1);

    // Variable arguments arrive promoted and are converted back.
    EXPECT_EQ(Values(Int32s(0, 7)), (Ints{7}));
    EXPECT_EQ(Values(Int32s(3, 1, 2)), (Ints{1, 2, 0})) << "missing values are zero";
    EXPECT_EQ(Values(Int32s(1, 1, 2, 3)), (Ints{1})) << "surplus values are ignored";
    EXPECT_EQ(Values(Floats(2, 1.5f, 2.5)), (std::vector<float>{1.5f, 2.5f}));
    EXPECT_EQ(Values(Int8s(3, 'a', -1, 300)), (std::vector<char>{'a', -1, static_cast<char>(300)}));
    EXPECT_EQ(Values(UInt16s(2, 65535, 65536)), (std::vector<unsigned short>{65535, 0}));
    EXPECT_EQ(Values(Bools(3, true, 0, 2)), (std::vector<bool>{true, false, true}));
}

TEST(TArray, SubArrayInsertAndInitialize) {
    const Int32s a(4, 10, 20, 30, 40);
    const std::pair<Int32s, Ints> cases[] = {{a.SubArray(1, 2), {20, 30}},
                                             {a.SubArray(2, -1), {30, 40}},
                                             {a.SubArray(3, 5), {40}},
                                             {a.SubArray(1, 0x7fffffff), {20, 30, 40}},
                                             {a.SubArray(0, 4), {10, 20, 30, 40}},
                                             {a.SubArray(-1, 2), {}},
                                             {a.SubArray(4, 1), {}},
                                             {a.SubArray(1, 0), {}}};
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(Values(got), expected);

    Int32s b(2, 10, 20);
    EXPECT_EQ(Values(b.Insert(99, 1)), (Ints{10, 99, 20}));
    EXPECT_EQ(Values(b.Insert(7, 3).Insert(8, -1).Insert(6, 0)), (Ints{6, 10, 99, 20, 7, 8}));
    EXPECT_EQ(Values(b.Insert(5, 7)), (Ints{6, 10, 99, 20, 7, 8, 5}));
    Int32s self(2, 1, 2);
    EXPECT_EQ(Values(self.Insert(self, 1)), (Ints{1, 1, 2, 2}));
    EXPECT_EQ(Values(self.Insert(Int32s(), 0)), (Ints{1, 1, 2, 2}));
    EXPECT_EQ(Values(self.Initialize(5, -1)), (Ints{5, 5, 5, 5}));
    EXPECT_EQ(Values(self.Initialize(6, 2)), (Ints{6, 6}));
    EXPECT_EQ(static_cast<const LV_int32*>(self.Initialize(5, 0)), nullptr);
}

TEST(TArray, OrderIsLexicographicThenByLengthAndNaNMatchesAnything) {
    ExpectOrder(Int32s(2, 1, 2), Int32s(2, 1, 3), -1);
    ExpectOrder(Int32s(2, 1, 2), Int32s(3, 1, 2, 0), -1);
    ExpectOrder(Int32s(1, 2), Int32s(3, 1, 9, 9), 1);
    ExpectOrder(Int32s(3, 1, 2, 3), Int32s(3, 1, 2, 3), 0);
    ExpectOrder(Int32s(), Int32s(), 0);
    ExpectOrder(Int8s(1, -1), Int8s(1, 1), -1);
    ExpectOrder(UInt8s(1, 255), UInt8s(1, 1), 1);
    const double nan = std::nan("");
    ExpectOrder(Doubles(2, 1.0, nan), Doubles(2, 1.0, 5.0), 0);
    EXPECT_LT(Doubles(2, nan, 1.0), Doubles(2, nan, 2.0));
}

// Every instantiation must put its elements where LabVIEW's manager does, with its own type code.
template <typename A, int32_t Code> struct Instance {
    using Array = A;
    static constexpr int32_t code = Code;
};
template <typename I> class TArrayHandles : public LvTest {};
using AllArrays =
    ::testing::Types<Instance<Int8s, koa::kLvInt8>, Instance<UInt8s, koa::kLvUInt8>,
                     Instance<TArray<short, 2, LV_int16Array**>, koa::kLvInt16>,
                     Instance<UInt16s, koa::kLvUInt16>, Instance<Int32s, koa::kLvInt32>,
                     Instance<TArray<LV_uInt32, 7, LV_uInt32Array**>, koa::kLvUInt32>,
                     Instance<Floats, koa::kLvFloat32>, Instance<Doubles, koa::kLvFloat64>,
                     Instance<Bools, koa::kLvInt8>>;
TYPED_TEST_SUITE(TArrayHandles, AllArrays);

TYPED_TEST(TArrayHandles, RoundTripThroughAHandle) {
    using Array = typename TypeParam::Array;
    decltype(HandleOf(Array())) h = nullptr;
    ErrorCluster err(true, 5, "an ordinary error does not stop output");
    const Array written(3, 1, 0, 1);
    written.SetLV_Array(&err, &h);
    ASSERT_EQ((*h)->dimSize, 3);
    EXPECT_EQ(reinterpret_cast<char*>(&(*h)->elt[0]) - reinterpret_cast<char*>(*h),
              static_cast<ptrdiff_t>(lvhost::DataOffset(TypeParam::code, 1)));
    EXPECT_TRUE(Array(h) == written);
    Array(5).SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 5);
    lvhost::FailCall(1, 77);
    Array().SetLV_Array(&err, &h);
    EXPECT_EQ(err.FatalCode(), 77);
    written.SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 5) << "a fatal code stops all output";
    EXPECT_EQ(lvhost::ResizeCalls(), 3);
    EXPECT_EQ(lvhost::Dispose(h), 0);

    // Handles as LabVIEW passes them in; a Boolean is true for any non-zero byte.
    using Record = std::remove_pointer_t<std::remove_pointer_t<decltype(h)>>;
    h = lvhost::NewArray<Record>(TypeParam::code, {0, 1, 2});
    EXPECT_TRUE(Array(h) == Array(3, 0, 1, 2));
    lvhost::Dispose(h);
    h = lvhost::NewArray<Record>(TypeParam::code, {});
    EXPECT_EQ(Array(h).GetSize() + Array(decltype(h)(nullptr)).GetSize(), 0);
    lvhost::Dispose(h);
}

} // namespace
