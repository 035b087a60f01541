#include <koa_dev/error_cluster.h>

#include "support/lv_test.h"

namespace {

std::string Src(const ErrorCluster& e) {
    return e.Source().CStr();
}

TEST(ErrorCluster, FirstErrorWinsAndWarningsNeverBlock) {
    ErrorCluster e;
    e.SetWarning(2, "conflict %s", "a.dll");
    EXPECT_FALSE(e.Status());
    e.SetWarning(4, "pre-release");
    EXPECT_EQ(e.Code(), 4);
    e.SetError(15, "missing '%s'", "KEY");
    e.SetError(14, "second");
    e.SetWarning(3, "late warning");
    EXPECT_TRUE(e.Status());
    EXPECT_EQ(e.Code(), 15);
    EXPECT_EQ(Src(e), "missing 'KEY'");
}

TEST(ErrorCluster, FatalCodeBlocksAndSurvivesResets) {
    ErrorCluster e;
    EXPECT_EQ(e.SetFatal(0), 0);
    EXPECT_FALSE(e.Status());
    EXPECT_EQ(e.SetFatal(5), 5);
    EXPECT_EQ(e.SetFatal(7), 7);
    EXPECT_EQ(e.FatalCode(), 5);
    EXPECT_TRUE(e.Status());
    e.SetError(14, "ignored");
    EXPECT_EQ(e.Code(), 0);
    e.ResetAll();
    EXPECT_TRUE(e.Status());
    ErrorCluster copy;
    copy = e;
    EXPECT_EQ(copy.FatalCode(), 5);
    copy = ErrorCluster();
    EXPECT_FALSE(copy.Status());
}

TEST(ErrorCluster, ResetStatusTurnsErrorIntoWarning) {
    ErrorCluster e(true, 14, "failed");
    e.ResetStatus();
    EXPECT_FALSE(e.Status());
    EXPECT_EQ(e.Code(), 14);
    EXPECT_EQ(Src(e), "failed");
    e.ResetAll();
    EXPECT_EQ(e.Code(), 0);
    EXPECT_TRUE(e.Source().IsEmpty());
}

class ErrorClusterLabVIEW : public LvTest {};

TEST_F(ErrorClusterLabVIEW, ReadsLabVIEWRecord) {
    LV_ErrorCluster lv{2, -1223, lvhost::NewString("comm")};
    ErrorCluster e(&lv);
    EXPECT_TRUE(e.Status());
    EXPECT_EQ(e.Code(), -1223);
    EXPECT_EQ(Src(e), "comm");
    lvhost::Dispose(lv.source);
    LV_ErrorCluster noSource{0, 0, nullptr};
    EXPECT_TRUE(ErrorCluster(&noSource).Source().IsEmpty());
}

TEST_F(ErrorClusterLabVIEW, LVErrWritesRecordOrReturnsFatal) {
    LV_ErrorCluster lv{0, 99, lvhost::NewString("stale")};
    ErrorCluster clear;
    EXPECT_EQ(clear.LVErr(&lv), 0);
    EXPECT_EQ(lv.status, 0);
    EXPECT_EQ(lv.code, 0);
    EXPECT_EQ(Text(lv.source), "");

    ErrorCluster failed;
    failed.SetError(13, "File '%s' not found", "x.dll");
    EXPECT_EQ(failed.LVErr(&lv), 0);
    EXPECT_EQ(lv.status, 1);
    EXPECT_EQ(lv.code, 13);
    EXPECT_EQ(Text(lv.source), "File 'x.dll' not found");

    failed.SetFatal(2);
    lv.code = 1234;
    EXPECT_EQ(failed.LVErr(&lv), 2);
    EXPECT_EQ(lv.code, 1234);

    ErrorCluster late(true, 7, "text");
    lvhost::FailCall(1, lvhost::kMemoryFull);
    EXPECT_EQ(late.LVErr(&lv), lvhost::kMemoryFull);
    EXPECT_EQ(late.FatalCode(), lvhost::kMemoryFull);
    lvhost::Dispose(lv.source);
}

} // namespace
