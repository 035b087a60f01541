#include <koa_dev/error_cluster.h>

#include <gtest/gtest.h>

// This executable does not link the LabVIEW stand-in, so it has no LVRTTable to find.
TEST(NoLabVIEWHostDeathTest, FirstManagerCallStopsTheProcess) {
    ErrorCluster err;
    LStr** h = nullptr;
    EXPECT_EXIT(TString("x").SetLV_String(&err, &h), ::testing::ExitedWithCode(1),
                "Fatal Error: LABVIEW.LIB was not called from a LabVIEW process.");
}
