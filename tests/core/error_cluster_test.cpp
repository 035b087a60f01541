#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "support/lv_test.h"

#include <functional>
#include <utility>

namespace {

std::string Src(const ErrorCluster& e) {
    return e.Source().CStr();
}

TEST(ErrorCluster, FirstErrorWinsWarningsGiveWayAndFatalCodesStick) {
    ErrorCluster e;
    e.SetWarning(2, "conflict %s", "a.dll");
    e.SetWarning(4, "pre-release");
    EXPECT_FALSE(e.Status());
    EXPECT_EQ(e.Code(), 4);
    e.SetError(15, "missing '%s'", "KEY");
    e.SetError(14, "second");
    e.SetWarning(3, "late warning");
    EXPECT_TRUE(e.Status());
    EXPECT_EQ(e.Code(), 15);
    EXPECT_EQ(Src(e), "missing 'KEY'");
    e.ResetStatus();
    EXPECT_FALSE(e.Status());
    EXPECT_EQ(Src(e), "missing 'KEY'");
    e.ResetAll();
    EXPECT_EQ(e.Code(), 0);
    EXPECT_TRUE(e.Source().IsEmpty());

    EXPECT_EQ(e.SetFatal(0), 0);
    EXPECT_FALSE(e.Status());
    EXPECT_EQ(e.SetFatal(5), 5);
    EXPECT_EQ(e.SetFatal(7), 7);
    EXPECT_EQ(e.FatalCode(), 5);
    e.SetError(14, "ignored");
    EXPECT_EQ(e.Code(), 0);
    e.ResetAll();
    ErrorCluster copy;
    copy = e;
    EXPECT_TRUE(copy.Status() && copy.FatalStatus());
}

class ErrorClusterLabVIEW : public LvTest {};

TEST_F(ErrorClusterLabVIEW, ReadsAndWritesLabVIEWRecords) {
    LV_ErrorCluster lv{2, -1223, lvhost::NewString("comm")};
    const ErrorCluster read(&lv);
    EXPECT_TRUE(read.Status());
    EXPECT_EQ(read.Code(), -1223);
    EXPECT_EQ(Src(read), "comm");
    LV_ErrorCluster noSource{0, 0, nullptr};
    EXPECT_TRUE(ErrorCluster(&noSource).Source().IsEmpty());

    EXPECT_EQ(ErrorCluster().LVErr(&lv), 0);
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
    EXPECT_EQ(lv.code, 1234) << "a fatal code leaves the record alone";
    ErrorCluster late(true, 7, "text");
    lvhost::FailCall(1, lvhost::kMemoryFull);
    EXPECT_EQ(late.LVErr(&lv), lvhost::kMemoryFull);
    lvhost::Dispose(lv.source);
}

// Every output to LabVIEW given no handle address records LabVIEW's argument error.
TEST_F(ErrorClusterLabVIEW, OutputWithoutAHandleAddressIsFatalCode1) {
    using TextRows = TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
    const std::pair<const char*, std::function<void(ErrorCluster*)>> outputs[] = {
        {"TString", [](ErrorCluster* e) { TString("x").SetLV_String(e, nullptr); }},
        {"TArray",
         [](ErrorCluster* e) { TArray<double, 10, LV_float64Array**>(2).SetLV_Array(e, nullptr); }},
        {"TStringArray", [](ErrorCluster* e) { TStringArray(1, "x").SetLV_Array(e, nullptr); }},
        {"TArrayArray", [](ErrorCluster* e) { TextRows(1, 1).SetLV_Array(e, nullptr); }},
        {"LVErr", [](ErrorCluster* e) { EXPECT_EQ(e->LVErr(nullptr), 1); }},
    };
    for (const auto& [name, output] : outputs) {
        ErrorCluster err(true, 5, "an ordinary error does not stop output");
        output(&err);
        EXPECT_EQ(err.FatalCode(), lvhost::kArgumentError) << name;
    }
}

} // namespace
