#include "arrays/array_values.h"
#include "support/lv_test.h"

namespace {

TEST(TStringArray, ConstructionAccessBuildingAndOrder) {
    const char* raw[] = {"p", "q"};
    const TString values[] = {"m", "n"};
    EXPECT_EQ((std::vector{Values(TStringArray(2)), Values(TStringArray(0, "only")),
                           Values(TStringArray(3, "a", "b")),
                           Values(TStringArray(3, TString("x"), "mixed")),
                           Values(TStringArray(raw, 2)), Values(TStringArray(values, 2))}),
              (std::vector<Strings>{
                  {"", ""}, {"only"}, {"a", "b", ""}, {"x", "mixed", ""}, {"p", "q"}, {"m", "n"}}));
    EXPECT_EQ(TStringArray(static_cast<const char**>(nullptr), 2).GetSize() +
                  TStringArray(values, 0).GetSize() +
                  TStringArray(static_cast<LV_stringArray**>(nullptr)).GetSize(),
              0);

    TStringArray a(3, "a", "b", "c");
    const TStringArray& same = a;
    a = same;
    a[7] = "written";
    EXPECT_STREQ(a[-1].CStr(), "") << "the outside element is reset on every access";
    EXPECT_TRUE(std::as_const(a)[3].IsEmpty() && std::as_const(a)[-1].IsEmpty());
    EXPECT_STREQ(static_cast<const TString*>(a)->CStr(), "a");
    EXPECT_EQ(Values(a.SubArray(1, -1)), (Strings{"b", "c"}));
    TString* b = &a[1];
    EXPECT_EQ(Values(a.Insert("x", 1)), (Strings{"a", "x", "b", "c"}));
    EXPECT_EQ(std::pair(&a[2], a.GetUpperBound()), std::pair(b, 3));
    TStringArray self(TStringArray(2, "1", "2"));
    EXPECT_EQ(Values(self.Insert(self, 9)), (Strings{"1", "2", "1", "2"}));
    EXPECT_EQ(Values(self.Initialize("k", -1)), (Strings{"k", "k", "k", "k"}));
    EXPECT_EQ(self.Initialize("k", 0).GetSize(), 0);

    EXPECT_EQ(Order(TStringArray(2, "a", "b"), TStringArray(2, "a", "c")), -1);
    EXPECT_EQ(Order(TStringArray(1, "a"), TStringArray(2, "a", "b")), -1);
    EXPECT_EQ(Order(TStringArray(1, "b"), TStringArray(3, "a", "z", "z")), 1);
    EXPECT_EQ(Order(TStringArray(2, "a", "B"), TStringArray(2, "a", "b")), -1);
    EXPECT_EQ(Order(TStringArray(2, "a", "b"), TStringArray(2, "a", "b")), 0);
}

class TStringArrayOutput : public LvTest {};

TEST_F(TStringArrayOutput, ReusesHandlesDisposesSurplusAndSkipsNullElements) {
    LV_stringArray** h = lvhost::NewStringArray({"1", "2", "3", "4", "5"});
    LStr** first = (*h)->elt[0];
    lvhost::Dispose((*h)->elt[3]);
    (*h)->elt[3] = nullptr;
    EXPECT_EQ(Values(TStringArray(h)), (Strings{"1", "2", "3", "", "5"}));
    ErrorCluster err;
    TStringArray(2, "a", "bb").SetLV_Array(&err, &h);
    EXPECT_FALSE(err.Status()) << "a null surplus handle needs no disposal";
    EXPECT_EQ(lvhost::DisposeCalls(), 2);
    EXPECT_EQ(lvhost::Texts(h), (Strings{"a", "bb"}));
    EXPECT_EQ((*h)->elt[0], first);
    TStringArray(3, "c", "d", "e").SetLV_Array(&err, &h);
    EXPECT_EQ(lvhost::Texts(h), (Strings{"c", "d", "e"}));
    err.SetFatal(9);
    TStringArray(1, "x").SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 3) << "a fatal code stops all output";
    Free(h);
}

TEST_F(TStringArrayOutput, FailuresKeepCountAndHandlesInStep) {
    // Calls: outer resize, then one resize per string; the third string fails.
    for (bool hadElements : {false, true}) {
        LV_stringArray** h =
            hadElements ? lvhost::NewStringArray({"old1", "old2", "old3", "old4"}) : nullptr;
        ErrorCluster err;
        lvhost::FailCall(4, lvhost::kMemoryFull);
        TStringArray(4, "a", "b", "c", "d").SetLV_Array(&err, &h);
        EXPECT_EQ(err.FatalCode(), lvhost::kMemoryFull);
        EXPECT_EQ(lvhost::Texts(h), (Strings{"a", "b"}));
        Free(h);
    }
    LV_stringArray** h = lvhost::NewStringArray({"1", "2", "3", "4"});
    ErrorCluster err;
    lvhost::FailCall(2, lvhost::kArgumentError); // the second disposal
    TStringArray(1, "a").SetLV_Array(&err, &h);
    EXPECT_EQ(err.FatalCode(), lvhost::kArgumentError);
    EXPECT_EQ(lvhost::Texts(h), (Strings{"1", "2", "3"}));
    Free(h);
}

} // namespace
