#include "core/lv_manager.h"

#include "support/lv_test.h"

#include <cstring>

namespace {

class LvManager : public LvTest {};

struct DoubleArray {
    int32_t dimSize;
    double elt[1];
};

TEST_F(LvManager, ResizeCreatesAndGrowsHandles) {
    DoubleArray** h = nullptr;
    ASSERT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, 3), 0);
    ASSERT_NE(h, nullptr);
    (*h)->dimSize = 3;
    for (int i = 0; i < 3; ++i)
        (*h)->elt[i] = i + 0.5;
    ASSERT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, 1000), 0);
    EXPECT_EQ((*h)->elt[2], 2.5);
    EXPECT_EQ(lvhost::ResizeCalls(), 2);
    EXPECT_EQ(DSDisposeHandle(h), 0);
    EXPECT_EQ(lvhost::DisposeCalls(), 1);
}

TEST_F(LvManager, ElementsStartWhereTheRecordSaysTheyDo) {
    EXPECT_EQ(lvhost::DataOffset(koa::kLvFloat64, 1), offsetof(DoubleArray, elt));
    EXPECT_EQ(lvhost::DataOffset(koa::kLvUInt8, 1), 4u);
    EXPECT_EQ(lvhost::DataOffset(koa::kLvHandleTypeCode, 1), KOA_LV_PACKED ? 4u : sizeof(void*));
}

TEST_F(LvManager, RejectsBadArgumentsAndHugeSizes) {
    void* h = nullptr;
    EXPECT_EQ(NumericArrayResize(0, 1, &h, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(11, 1, &h, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(koa::kLvInt8, 0, &h, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, SIZE_MAX / 2), lvhost::kMemoryFull);
    EXPECT_EQ(h, nullptr);
    int bogus = 0;
    EXPECT_EQ(DSDisposeHandle(&bogus), lvhost::kArgumentError);
}

TEST_F(LvManager, InjectedFailureHitsTheChosenCallOnly) {
    LStr** h = nullptr;
    lvhost::FailCall(2, 42);
    EXPECT_EQ(NumericArrayResize(koa::kLvUInt8, 1, &h, 4), 0);
    LStr** before = h;
    EXPECT_EQ(NumericArrayResize(koa::kLvUInt8, 1, &h, 8), 42);
    EXPECT_EQ(h, before);
    EXPECT_EQ(NumericArrayResize(koa::kLvUInt8, 1, &h, 8), 0);
    EXPECT_EQ(DSDisposeHandle(h), 0);
}

} // namespace
