#include <koa_dev/numeric.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kJustBelowHalf = 0.49999999999999994;

TEST(Rounding, HalvesGoAwayFromZero) {
    EXPECT_EQ(int32Round(2.5), 3);
    EXPECT_EQ(int32Round(-2.5), -3);
    EXPECT_EQ(int16Round(0.5), 1);
    EXPECT_EQ(int16Round(-0.5), -1);
    EXPECT_EQ(uInt16Round(-0.5), 0);
    EXPECT_EQ(int32Round(2.4999), 2);
    EXPECT_EQ(int32Round(-7.2), -7);
    // The half is added in double precision before rounding down.
    EXPECT_EQ(int32Round(kJustBelowHalf), 1);
    EXPECT_EQ(int8Round(-kJustBelowHalf), -1);
    EXPECT_EQ(int8Round(-0.0), 0);
}

TEST(Rounding, SaturatesAtEveryBound) {
    EXPECT_EQ(uInt8Round(254.5), 255);
    EXPECT_EQ(uInt8Round(255.49), 255);
    EXPECT_EQ(uInt8Round(255.5), 255);
    EXPECT_EQ(uInt8Round(-0.4), 0);
    EXPECT_EQ(uInt8Round(-1.0), 0);
    EXPECT_EQ(int8Round(-128.49), -128);
    EXPECT_EQ(int8Round(-128.5), -128);
    EXPECT_EQ(int8Round(127.5), 127);
    EXPECT_EQ(uInt16Round(65535.4), 65535);
    EXPECT_EQ(uInt16Round(1e9), 65535);
    EXPECT_EQ(int16Round(-32768.6), -32768);
    EXPECT_EQ(int16Round(32767.5), 32767);
    EXPECT_EQ(uInt32Round(4294967294.5), 4294967295u);
    EXPECT_EQ(uInt32Round(1e12), 4294967295u);
    EXPECT_EQ(uInt32Round(-3.7), 0u);
    EXPECT_EQ(int32Round(2147483647.4), 2147483647);
    EXPECT_EQ(int32Round(-2147483648.5), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(int32Round(-1e300), std::numeric_limits<int32_t>::min());
}

TEST(Rounding, NaNAndInfinitiesGiveBounds) {
    EXPECT_EQ(int32Round(kNaN), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(uInt16Round(kNaN), 0);
    EXPECT_EQ(int8Round(-kNaN), -128);
    EXPECT_EQ(uInt32Round(kInf), 4294967295u);
    EXPECT_EQ(int16Round(kInf), 32767);
    EXPECT_EQ(int16Round(-kInf), -32768);
    EXPECT_EQ(uInt8Round(-kInf), 0);
}

} // namespace
