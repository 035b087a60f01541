#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring_array.h>

#include "arrays/array_values.h"
#include "core/lv_manager.h"
#include "support/lv_test.h"

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(TStringArray, ConstructionForms) {
    EXPECT_EQ(TStringArray(0).GetSize(), 0);
    EXPECT_EQ(Values(TStringArray(2)), (Strings{"", ""}));
    EXPECT_EQ(Values(TStringArray(0, "only")), (Strings{"only"}));
    EXPECT_EQ(Values(TStringArray(3, "a", "b")), (Strings{"a", "b", ""}));
    const TString x("x");
    EXPECT_EQ(Values(TStringArray(2, x, TString("y"))), (Strings{"x", "y"}));
    EXPECT_EQ(Values(TStringArray(2, x, "mixed")), (Strings{"x", "mixed"}));
    const char* raw[] = {"p", "q"};
    EXPECT_EQ(Values(TStringArray(raw, 2)), (Strings{"p", "q"}));
    EXPECT_EQ(TStringArray(static_cast<const char**>(nullptr), 2).GetSize(), 0);
    const TString values[] = {"m", "n"};
    EXPECT_EQ(Values(TStringArray(values, 2)), (Strings{"m", "n"}));
    EXPECT_EQ(TStringArray(values, 0).GetSize(), 0);
    EXPECT_EQ(TStringArray(static_cast<LV_stringArray**>(nullptr)).GetSize(), 0);
    TStringArray copy(TStringArray(2, "a", "b"));
    const TStringArray& alias = copy;
    copy = alias;
    EXPECT_EQ(Values(copy), (Strings{"a", "b"}));
}

TEST(TStringArray, OutOfRangeAccessIsNeutral) {
    TStringArray a(3, "a", "b", "c");
    a[7] = "written";
    EXPECT_EQ(Values(a), (Strings{"a", "b", "c"}));
    EXPECT_STREQ(a[-1].CStr(), "") << "the static element is reset on every access";
    const TStringArray& c = a;
    EXPECT_TRUE(c[3].IsEmpty());
    EXPECT_STREQ(static_cast<const TString*>(c)->CStr(), "a");
}

TEST(TStringArray, BuildingKeepsElementAddresses) {
    TStringArray a(3, "a", "b", "c");
    EXPECT_EQ(Values(a.SubArray(1, -1)), (Strings{"b", "c"}));
    EXPECT_EQ(a.SubArray(3, 1).GetSize(), 0);
    const TString* b = &a[1];
    EXPECT_EQ(Values(a.Insert("x", 1)), (Strings{"a", "x", "b", "c"}));
    EXPECT_EQ(&a[2], b);
    EXPECT_EQ(Values(a.Insert("z", 9)), (Strings{"a", "x", "b", "c", "z"}));
    TStringArray self(2, "1", "2");
    EXPECT_EQ(Values(self.Insert(self, 1)), (Strings{"1", "1", "2", "2"}));
    EXPECT_EQ(Values(self.Initialize("k", -1)), (Strings{"k", "k", "k", "k"}));
    EXPECT_EQ(self.Initialize("k", 0).GetSize(), 0);
}

TEST(TStringArray, OrderIsLexicographicAndCaseSensitive) {
    EXPECT_LT(TStringArray(2, "a", "b"), TStringArray(2, "a", "c"));
    EXPECT_LT(TStringArray(1, "a"), TStringArray(2, "a", "b"));
    EXPECT_GT(TStringArray(1, "b"), TStringArray(3, "a", "z", "z"));
    EXPECT_LT(TStringArray(1, "A"), TStringArray(1, "a"));
    EXPECT_EQ(TStringArray(2, "a", "b"), TStringArray(2, "a", "b"));
    EXPECT_NE(TStringArray(2, "a", "b"), TStringArray(2, "a", "B"));
}

class TStringArrayOutput : public LvTest {
  protected:
    // A string array as LabVIEW would pass it in.
    static LV_stringArray** Make(const Strings& texts) {
        LV_stringArray** h = nullptr;
        EXPECT_EQ(NumericArrayResize(koa::kLvHandleTypeCode, 1, &h, texts.size()), 0);
        (*h)->dimSize = static_cast<int32_t>(texts.size());
        for (size_t i = 0; i < texts.size(); ++i)
            (*h)->elt[i] = lvhost::NewString(texts[i].c_str());
        return h;
    }
    static Strings Read(LV_stringArray** h) { return Values(TStringArray(h)); }
};

TEST_F(TStringArrayOutput, ShrinksByDisposingSurplusHandlesAndReusesTheRest) {
    LV_stringArray** h = Make({"1", "2", "3", "4", "5"});
    LStr** first = (*h)->elt[0];
    ErrorCluster err;
    TStringArray(2, "a", "bb").SetLV_Array(&err, &h);
    EXPECT_EQ(lvhost::DisposeCalls(), 3);
    EXPECT_EQ(Read(h), (Strings{"a", "bb"}));
    EXPECT_EQ((*h)->elt[0], first);
    Free(h);
}

TEST_F(TStringArrayOutput, CreatesTheArrayAndItsStrings) {
    LV_stringArray** h = nullptr;
    ErrorCluster err;
    TStringArray(2, "a", "b").SetLV_Array(&err, &h);
    EXPECT_EQ(Read(h), (Strings{"a", "b"}));
    TStringArray(3, "c", "d", "e").SetLV_Array(&err, &h);
    EXPECT_EQ(Read(h), (Strings{"c", "d", "e"}));
    TStringArray().SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 0);
    err.SetFatal(9);
    TStringArray(1, "x").SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 0);
    EXPECT_FALSE(err.Status() && err.FatalCode() != 9);
    Free(h);
}

TEST_F(TStringArrayOutput, NullElementHandlesAreEmptyStrings) {
    LV_stringArray** h = Make({"1", "2", "3"});
    for (int i : {1, 2}) {
        lvhost::Dispose((*h)->elt[i]);
        (*h)->elt[i] = nullptr;
    }
    EXPECT_EQ(Read(h), (Strings{"1", "", ""}));
    ErrorCluster err;
    TStringArray(2, "a", "b").SetLV_Array(&err, &h);
    EXPECT_FALSE(err.Status()) << "a null surplus handle needs no disposal";
    EXPECT_EQ(Read(h), (Strings{"a", "b"}));
    Free(h);
}

TEST_F(TStringArrayOutput, FailureWhileWritingLeavesTheCompleteElements) {
    // Calls: outer resize, then one resize per string; the third string fails.
    for (const Strings& before : {Strings{}, Strings{"old1", "old2", "old3", "old4"}}) {
        LV_stringArray** h = before.empty() ? nullptr : Make(before);
        ErrorCluster err;
        lvhost::FailCall(4, lvhost::kMemoryFull);
        TStringArray(4, "a", "b", "c", "d").SetLV_Array(&err, &h);
        EXPECT_EQ(err.FatalCode(), lvhost::kMemoryFull);
        EXPECT_EQ(Read(h), (Strings{"a", "b"}));
        Free(h);
    }
}

TEST_F(TStringArrayOutput, FailureWhileShrinkingKeepsCountAndHandlesInStep) {
    LV_stringArray** h = Make({"1", "2", "3", "4"});
    ErrorCluster err;
    lvhost::FailCall(2, lvhost::kArgumentError); // the second disposal
    TStringArray(1, "a").SetLV_Array(&err, &h);
    EXPECT_EQ(err.FatalCode(), lvhost::kArgumentError);
    EXPECT_EQ(Read(h), (Strings{"1", "2", "3"}));
    Free(h);
}

} // namespace
