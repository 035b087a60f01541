#include <koa_dev/numeric.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
// The half is added in double precision before rounding down: this one rounds up.
const double kJustBelowHalf = 0.49999999999999994;

template <typename R>
void ExpectRounding(R (*round)(double), std::initializer_list<std::pair<double, int64_t>> cases) {
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(static_cast<int64_t>(round(x)), expected) << "rounding " << x;
}

TEST(Rounding, HalvesGoAwayFromZeroAndResultsSaturate) {
    ExpectRounding(uInt8Round, {{254.5, 255}, {255.49, 255}, {255.5, 255}, {-0.4, 0}});
    ExpectRounding(uInt8Round, {{-1.0, 0}, {kNaN, 0}, {-kInf, 0}});
    ExpectRounding(int8Round, {{-kJustBelowHalf, -1}, {-0.0, 0}, {-128.49, -128}});
    ExpectRounding(int8Round, {{-128.5, -128}, {127.5, 127}, {-kNaN, -128}});
    ExpectRounding(uInt16Round, {{-0.5, 0}, {65535.4, 65535}, {1e9, 65535}, {kNaN, 0}});
    ExpectRounding(int16Round, {{0.5, 1}, {-0.5, -1}, {-32768.6, -32768}, {32767.5, 32767}});
    ExpectRounding(int16Round, {{kInf, 32767}, {-kInf, -32768}});
    ExpectRounding(uInt32Round, {{4294967294.5, 4294967295}, {1e12, 4294967295}, {-3.7, 0}});
    ExpectRounding(uInt32Round, {{kInf, 4294967295}});
    ExpectRounding(int32Round,
                   {{2.5, 3}, {-2.5, -3}, {2.4999, 2}, {-7.2, -7}, {kJustBelowHalf, 1}});
    ExpectRounding(int32Round, {{2147483647.4, INT32_MAX}, {-2147483648.5, INT32_MIN}});
    ExpectRounding(int32Round, {{-1e300, INT32_MIN}, {kNaN, INT32_MIN}});
}

} // namespace
