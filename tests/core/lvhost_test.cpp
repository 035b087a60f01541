#include "core/lv_manager.h"

#include "support/lv_test.h"

namespace {

class LvHost : public LvTest {};

// The stand-in behaves as LabVIEW's manager does for the cases the library and its users rely on.
TEST_F(LvHost, ResizesKeepContentsAndFailuresLeaveHandlesAlone) {
    LV_float64Array** h = lvhost::NewArray<LV_float64Array>(10, {0.5, 1.5, 2.5});
    ASSERT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, 1000), 0);
    EXPECT_EQ(lvhost::Elements(h), (std::vector<double>{0.5, 1.5, 2.5}));
    lvhost::FailCall(2, 42);
    EXPECT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, 1), 0);
    LV_float64Array** before = h;
    EXPECT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, 8), 42);
    EXPECT_EQ(h, before);
    EXPECT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, 8), 0);
    EXPECT_EQ(lvhost::ResizeCalls(), 4);

    void* none = nullptr;
    EXPECT_EQ(NumericArrayResize(0, 1, &none, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(11, 1, &none, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(koa::kLvInt8, 0, &none, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &none, SIZE_MAX / 2), lvhost::kMemoryFull);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(NumericArrayResize(koa::kLvInt8, 1, &none, 0), 0);
    int bogus = 0;
    EXPECT_EQ(DSDisposeHandle(&bogus), lvhost::kArgumentError);
    EXPECT_EQ(DSDisposeHandle(none), 0);
    EXPECT_EQ(DSDisposeHandle(h), 0);
    EXPECT_EQ(lvhost::DisposeCalls(), 3);
    EXPECT_EQ(lvhost::NewNumericArray(11, nullptr, 0), nullptr);
}

} // namespace
