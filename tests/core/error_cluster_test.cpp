#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "support/lv_test.h"

#include <cstring>
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

// LabVIEW's error cluster as bytes, where LabVIEW puts them: 1-byte packed in the 32-bit Windows
// runtime (and in the build that imitates it, KOA_TEST_LV_PACKED), naturally aligned elsewhere.
class LabVIEWError {
  public:
#if KOA_TEST_LV_PACKED
    static constexpr size_t kCode = 1, kSource = 5, kSize = 9;
#else
    static constexpr size_t kCode = 4, kSource = 8, kSize = 8 + sizeof(void*);
#endif
    LabVIEWError(uint8_t status, int32_t code, LStr** source) {
        Put(0, status);
        Put(kCode, code);
        Put(kSource, source);
    }
    LV_ErrorCluster* Record() {
        return &lv;
    }
    template <typename T> T Get(size_t offset) const {
        T value;
        std::memcpy(&value, reinterpret_cast<const unsigned char*>(&lv) + offset, sizeof value);
        return value;
    }
    template <typename T> void Put(size_t offset, T value) {
        static_assert(sizeof lv >= kSize, "room for LabVIEW's record");
        std::memcpy(reinterpret_cast<unsigned char*>(&lv) + offset, &value, sizeof value);
    }
    uint8_t Status() const {
        return Get<uint8_t>(0);
    }
    int32_t Code() const {
        return Get<int32_t>(kCode);
    }
    LStr** Source() const {
        return Get<LStr**>(kSource);
    }

  private:
    LV_ErrorCluster lv{};
};

class ErrorClusterLabVIEW : public LvTest {};

TEST_F(ErrorClusterLabVIEW, ReadsAndWritesLabVIEWRecords) {
    ASSERT_EQ(sizeof(LV_ErrorCluster), LabVIEWError::kSize);
    LabVIEWError lv{2, -1223, lvhost::NewString("comm")};
    const ErrorCluster read(lv.Record());
    EXPECT_TRUE(read.Status());
    EXPECT_EQ(read.Code(), -1223);
    EXPECT_EQ(Src(read), "comm");
    LabVIEWError noSource{0, 0, nullptr};
    EXPECT_TRUE(ErrorCluster(noSource.Record()).Source().IsEmpty());

    EXPECT_EQ(ErrorCluster().LVErr(lv.Record()), 0);
    EXPECT_EQ(lv.Status(), 0);
    EXPECT_EQ(lv.Code(), 0);
    EXPECT_EQ(Text(lv.Source()), "");
    ErrorCluster failed;
    failed.SetError(13, "File '%s' not found", "x.dll");
    EXPECT_EQ(failed.LVErr(lv.Record()), 0);
    EXPECT_EQ(lv.Status(), 1);
    EXPECT_EQ(lv.Code(), 13);
    EXPECT_EQ(Text(lv.Source()), "File 'x.dll' not found");

    failed.SetFatal(2);
    lv.Put(LabVIEWError::kCode, int32_t{1234});
    EXPECT_EQ(failed.LVErr(lv.Record()), 2);
    EXPECT_EQ(lv.Code(), 1234) << "a fatal code leaves the record alone";
    ErrorCluster late(true, 7, "text");
    lvhost::FailCall(1, lvhost::kMemoryFull);
    EXPECT_EQ(late.LVErr(lv.Record()), lvhost::kMemoryFull);
    lvhost::Dispose(lv.Source());
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
