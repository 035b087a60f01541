#include "core/lv_manager.h"

#include "support/lv_test.h"

namespace {

class LvHost : public LvTest {};

// What the stand-in's users rely on beyond the library's own calls, which every conversion test
// exercises: LabVIEW's answers to bad arguments and impossible sizes.
TEST_F(LvHost, RejectsBadArgumentsAndHugeSizes) {
    void* h = nullptr;
    EXPECT_EQ(NumericArrayResize(0, 1, &h, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(11, 1, &h, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(koa::kLvInt8, 0, &h, 1), lvhost::kArgumentError);
    EXPECT_EQ(NumericArrayResize(koa::kLvFloat64, 1, &h, SIZE_MAX / 2), lvhost::kMemoryFull);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(lvhost::NewNumericArray(11, nullptr, 0), nullptr);
    int bogus = 0;
    EXPECT_EQ(DSDisposeHandle(&bogus), lvhost::kArgumentError);
    EXPECT_EQ(lvhost::ResizeCalls() + lvhost::DisposeCalls(), 5);
}

} // namespace
