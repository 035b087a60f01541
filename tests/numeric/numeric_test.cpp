#include <koa_dev/error_cluster.h>
#include <koa_dev/numeric.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>

#if !defined(_WIN32)
#include <sys/time.h>
#endif

// One input and its results as uInt8, int8, uInt16, int16, uInt32 and int32: halves go away from
// zero (the half is added in double precision, so 0.49999999999999994 rounds up), results saturate.
const double kCases[][7] = {
    {2.5, 3, 3, 3, 3, 3, 3},
    {-2.5, 0, -3, 0, -3, 0, -3},
    {0.49999999999999994, 1, 1, 1, 1, 1, 1},
    {-0.49999999999999994, 0, -1, 0, -1, 0, -1},
    {127.5, 128, 127, 128, 128, 128, 128},
    {-128.5, 0, -128, 0, -129, 0, -129},
    {255.5, 255, 127, 256, 256, 256, 256},
    {65535.4, 255, 127, 65535, 32767, 65535, 65535},
    {-32768.6, 0, -128, 0, -32768, 0, -32769},
    {-2147483648.5, 0, -128, 0, -32768, 0, -2147483648.0},
    {4294967294.5, 255, 127, 65535, 32767, 4294967295.0, 2147483647},
    {HUGE_VAL, 255, 127, 65535, 32767, 4294967295.0, 2147483647},
    {-HUGE_VAL, 0, -128, 0, -32768, 0, -2147483648.0},
    {NAN, 0, -128, 0, -32768, 0, -2147483648.0},
};

TEST(Rounding, HalvesGoAwayFromZeroAndResultsSaturate) {
    for (const auto& c : kCases) {
        const double x = c[0];
        const double got[] = {double(uInt8Round(x)), double(int8Round(x)),   double(uInt16Round(x)),
                              double(int16Round(x)), double(uInt32Round(x)), double(int32Round(x))};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(got[i], c[i + 1]) << "rounding " << x << " to type " << i;
    }
}

// An erroneous cluster turns an hour-long wait into none (a wait would hang the test); a warning
// neither shortens the wait nor is touched.
TEST(Sleep, ErrorsAndFatalCodesSkipTheWaitAndWarningsDoNot) {
    ErrorCluster error(true, 5, "failed"), fatal, warning;
    fatal.SetFatal(2);
    warning.SetWarning(1, "only a warning");
    const auto start = std::chrono::steady_clock::now();
    Sleep(&error, 3600000);
    Sleep(&fatal, 3600000);
    const auto skipped = std::chrono::steady_clock::now();
#if !defined(_WIN32)
    std::signal(SIGALRM, [](int) {}); // a signal handled meanwhile does not end the wait early
    const itimerval once{{0, 0}, {0, 10000}};
    setitimer(ITIMER_REAL, &once, nullptr);
#endif
    Sleep(&warning, 60);
    EXPECT_LT(skipped - start, std::chrono::seconds(60));
    EXPECT_GE(std::chrono::steady_clock::now() - skipped, std::chrono::milliseconds(50));
    EXPECT_EQ(std::to_string(warning.Code()) + warning.Source().CStr(), "1only a warning");
}
