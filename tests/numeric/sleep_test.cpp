#include <koa_dev/error_cluster.h>
#include <koa_dev/numeric.h>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSleeping(ErrorCluster* err, LV_uInt32 milliseconds) {
    const auto start = Clock::now();
    Sleep(err, milliseconds);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// An erroneous cluster turns an hour-long wait into none (a wait would hang the test); a warning
// neither shortens the wait nor is touched.
TEST(Sleep, ErrorsAndFatalCodesSkipTheWaitAndWarningsDoNot) {
    const LV_uInt32 hour = 3600 * 1000;
    ErrorCluster error(true, 5, "failed"), fatal, warning;
    fatal.SetFatal(2);
    warning.SetWarning(1, "only a warning");
    EXPECT_LT(MillisecondsSleeping(&error, hour), 60 * 1000);
    EXPECT_LT(MillisecondsSleeping(&fatal, hour), 60 * 1000);
    EXPECT_GE(MillisecondsSleeping(&warning, 60), 50);
    EXPECT_EQ(warning.Code(), 1);
    EXPECT_STREQ(warning.Source().CStr(), "only a warning");
}

} // namespace
