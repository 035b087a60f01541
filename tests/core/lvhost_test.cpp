#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray.h>
#include <koa_dev/tstring_array.h>

#include "support/lv_test.h"

namespace {

class LvHostInputs : public LvTest {};

// Handles made by the stand-in read back through the library's own conversions, and the
// library's output handles read back through the stand-in.
TEST_F(LvHostInputs, ArraysRoundTripThroughTheLibrary) {
    LV_float64Array** doubles = lvhost::NewArray<LV_float64Array>(10, {1.5, -2.25, 1e300});
    LV_int16Array** shorts = lvhost::NewArray<LV_int16Array>(2, {7, -8});
    LV_stringArray** texts = lvhost::NewStringArray({"alpha", "", "gamma"});
    const TArray<double, 10, LV_float64Array**> d(doubles);
    const TArray<short, 2, LV_int16Array**> s(shorts);
    const TStringArray t(texts);
    EXPECT_EQ(d, (TArray<double, 10, LV_float64Array**>(3, 1.5, -2.25, 1e300)));
    EXPECT_EQ(s, (TArray<short, 2, LV_int16Array**>(2, 7, -8)));
    EXPECT_EQ(t, TStringArray(3, "alpha", "", "gamma"));

    ErrorCluster err;
    TArray<double, 10, LV_float64Array**>(2, 4.0, 5.0).SetLV_Array(&err, &doubles);
    TStringArray(1, "delta").SetLV_Array(&err, &texts);
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(lvhost::Elements(doubles), (std::vector<double>{4.0, 5.0}));
    EXPECT_EQ(lvhost::Elements(shorts), (std::vector<int16_t>{7, -8}));
    EXPECT_EQ(lvhost::Texts(texts), std::vector<std::string>{"delta"});
    EXPECT_EQ(lvhost::Text(nullptr), "");
    lvhost::Dispose(doubles);
    lvhost::Dispose(shorts);
    lvhost::DisposeStringArray(texts);
}

TEST_F(LvHostInputs, EmptyArraysAndUnknownTypes) {
    LV_int32Array** none = lvhost::NewArray<LV_int32Array>(3, {});
    LV_stringArray** noTexts = lvhost::NewStringArray({});
    EXPECT_EQ((*none)->dimSize, 0);
    EXPECT_TRUE(lvhost::Texts(noTexts).empty());
    EXPECT_EQ(lvhost::NewNumericArray(11, nullptr, 0), nullptr);
    lvhost::Dispose(none);
    lvhost::DisposeStringArray(noTexts);
}

} // namespace
