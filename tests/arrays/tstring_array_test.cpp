#include "arrays/array_values.h"
#include "support/lv_test.h"

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
    EXPECT_EQ(std::string(a[-1].CStr()) + std::as_const(a)[3].CStr() + std::as_const(a)[-1].CStr() +
                  static_cast<const TString*>(a)->CStr(),
              "a")
        << "outside: empty strings, the written one reset; inside, the first element";
    EXPECT_EQ(Values(a.SubArray(1, -1)), (Strings{"b", "c"}));
    TString* b = &a[1];
    EXPECT_EQ(Values(a.Insert("x", 1)), (Strings{"a", "x", "b", "c"}));
    EXPECT_EQ(std::pair(&a[2], a.GetUpperBound()), std::pair(b, 3));
    TStringArray self(TStringArray(2, "1", "2"));
    EXPECT_EQ((std::vector{Values(self.Insert(self, 9)), Values(self.Initialize("k", -1)),
                           Values(self.Initialize("k", 0))}),
              (std::vector<Strings>{{"1", "2", "1", "2"}, {"k", "k", "k", "k"}, {}}));

    EXPECT_EQ((std::vector{Order(TStringArray(2, "a", "b"), TStringArray(2, "a", "c")),
                           Order(TStringArray(1, "a"), TStringArray(2, "a", "b")),
                           Order(TStringArray(1, "b"), TStringArray(3, "a", "z", "z")),
                           Order(TStringArray(2, "a", "B"), TStringArray(2, "a", "b")),
                           Order(TStringArray(2, "a", "b"), TStringArray(2, "a", "b"))}),
              (std::vector{-1, -1, 1, -1, 0}));
}

class TStringArrayOutput : public LvTest {};

TEST_F(TStringArrayOutput, ReusesHandlesDisposesSurplusSkipsNullElementsAndStopsOnFailures) {
    LV_stringArray** h = lvhost::NewStringArray({"1", "2", "3", "4", "5"});
    LStr** first = (*h)->elt[0];
    lvhost::Dispose((*h)->elt[3]);
    (*h)->elt[3] = nullptr;
    EXPECT_EQ(Values(TStringArray(h)), (Strings{"1", "2", "3", "", "5"}));
    ErrorCluster err;
    TStringArray(2, "a", "bb").SetLV_Array(&err, &h);
    EXPECT_EQ(std::tuple(err.Status(), lvhost::DisposeCalls(), (*h)->elt[0], lvhost::Texts(h)),
              std::tuple(false, 2, first, Strings{"a", "bb"}))
        << "a null surplus handle needs no disposal";
    err.SetFatal(9);
    TStringArray(1, "x").SetLV_Array(&err, &h);
    EXPECT_EQ((*h)->dimSize, 2) << "a fatal code stops all output";
    Free(h);

    // A failed disposal stops the shrinking there, and the count keeps the handles still held.
    h = lvhost::NewStringArray({"1", "2", "3", "4"});
    ErrorCluster fresh;
    lvhost::FailCall(2, lvhost::kArgumentError); // the second disposal
    TStringArray(1, "a").SetLV_Array(&fresh, &h);
    EXPECT_EQ(std::tuple(fresh.FatalCode(), lvhost::Texts(h)),
              std::tuple(lvhost::kArgumentError, Strings{"1", "2", "3"}));
    Free(h);
}
