#include "arrays/array_values.h"
#include "support/lv_test.h"

namespace {

// Status (E: error, -: none, F: fatal code set), code and source, in one text.
std::string Show(const ErrorCluster& e) {
    return std::string(e.Status() ? "E" : "-") + (e.FatalStatus() ? "F" : "") +
           std::to_string(e.Code()) + ":" + e.Source().CStr();
}

// The record as LabVIEW reads it: status, code and source, in one text.
std::string Show(const LV_ErrorCluster& lv) {
    return std::to_string(lv.status) + ":" + std::to_string(lv.code) + lvhost::Text(lv.source);
}

TEST(ErrorCluster, FirstErrorWinsWarningsGiveWayAndFatalCodesStick) {
    ErrorCluster e, copy;
    e.SetWarning(2, "conflict %s", "a.dll");
    e.SetWarning(4, "pre-release");
    EXPECT_EQ(Show(e), "-4:pre-release");
    e.SetError(15, "missing '%s'", "KEY");
    e.SetError(14, "second");
    e.SetWarning(3, "late warning");
    EXPECT_EQ(Show(e), "E15:missing 'KEY'");
    e.ResetStatus();
    EXPECT_EQ(Show(e), "-15:missing 'KEY'");
    e.ResetAll();
    EXPECT_EQ(e.SetFatal(0), 0);
    EXPECT_EQ(Show(e), "-0:");
    EXPECT_EQ((std::vector{e.SetFatal(5), e.SetFatal(7), e.FatalCode()}),
              (std::vector<LV_int32>{5, 7, 5}));
    e.SetError(14, "ignored");
    e.ResetAll();
    copy = e;
    EXPECT_EQ(Show(copy), "EF0:");
}

// Where LabVIEW puts the fields of its error cluster on this target: 1-byte packed in the 32-bit
// Windows runtime (and in the build that imitates it), naturally aligned elsewhere.
#if KOA_TEST_LV_PACKED
static_assert(offsetof(LV_ErrorCluster, source) == 5 && sizeof(LV_ErrorCluster) == 9, "packed");
#else
static_assert(offsetof(LV_ErrorCluster, source) == 8, "naturally aligned");
#endif

class ErrorClusterLabVIEW : public LvTest {};

TEST_F(ErrorClusterLabVIEW, ReadsAndWritesRecordsAndNeedsAHandleAddress) {
    LV_ErrorCluster lv{2, -1223, lvhost::NewString("comm")};
    const LV_ErrorCluster clear{0, 0, nullptr};
    EXPECT_EQ(Show(ErrorCluster(&lv)) + Show(ErrorCluster(&clear)) + Show(ErrorCluster(nullptr)),
              "E-1223:comm-0:-0:");
    EXPECT_EQ(ErrorCluster().LVErr(&lv), 0);
    EXPECT_EQ(Show(lv), "0:0");
    ErrorCluster failed(true, 13, "File 'x.dll' not found");
    EXPECT_EQ(failed.LVErr(&lv), 0);
    EXPECT_EQ(Show(lv), "1:13File 'x.dll' not found");
    failed.SetFatal(2);
    lv.code = 1234;
    EXPECT_EQ(failed.LVErr(&lv), 2);
    EXPECT_EQ(lv.code, 1234) << "a fatal code leaves the record alone";
    lvhost::FailCall(1, lvhost::kMemoryFull);
    EXPECT_EQ(ErrorCluster(true, 7, "text").LVErr(&lv), lvhost::kMemoryFull);
    lvhost::Dispose(lv.source);

    // Every output to LabVIEW given no handle address records LabVIEW's argument error.
    void (*const outputs[])(ErrorCluster*) = {
        [](ErrorCluster* e) { TString("x").SetLV_String(e, nullptr); },
        [](ErrorCluster* e) { Doubles(2).SetLV_Array(e, nullptr); },
        [](ErrorCluster* e) { TStringArray(1, "x").SetLV_Array(e, nullptr); },
        [](ErrorCluster* e) { EXPECT_EQ(e->LVErr(nullptr), 1); },
    };
    for (const auto& output : outputs) {
        ErrorCluster err(true, 5, "an ordinary error does not stop output");
        output(&err);
        EXPECT_EQ(err.FatalCode(), lvhost::kArgumentError);
    }
}

} // namespace
