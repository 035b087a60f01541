// Built as a user of the shared library, through its import declarations: the exported
// instantiations and the constructors that users instantiate themselves must link and work.
#include <koa_dev/koa_dev.h>

#include "support/lv_test.h"

namespace {

class SharedLibraryArrays : public LvTest {};

TEST_F(SharedLibraryArrays, ExportedInstantiationsWork) {
    ErrorCluster err;
    LV_float64Array** d = nullptr;
    TArray<double, 10, LV_float64Array**>(3, 1.5, 2, 3.5f).SetLV_Array(&err, &d);
    const TArray<double, 10, LV_float64Array**> back(d);
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back[1], 2.0);
    EXPECT_EQ(back[3], 0.0);
    lvhost::Dispose(d);

    TArray<unsigned short, 6, LV_uInt16Array**> version(4, 1, 2, 3, 4);
    version[9] = 5;
    EXPECT_EQ(version[9], 0);

    LV_stringArray** s = nullptr;
    TStringArray(2, TString("a"), "b").SetLV_Array(&err, &s);
    EXPECT_EQ(TStringArray(s), TStringArray(2, "a", "b"));
    EXPECT_FALSE(err.Status());
    for (int32_t i = 0; i < (*s)->dimSize; ++i)
        lvhost::Dispose((*s)->elt[i]);
    lvhost::Dispose(s);

    using Rows = TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
    const TStringArray row(2, "x", "y");
    Rows rows(2, &row, &row);
    rows.Insert(Rows(1, 3), 1);
    EXPECT_EQ(rows.GetTotalElements(), 7);
    EXPECT_EQ(rows.CreateFlattenedArray()[6], TString("y"));
    rows[5].Insert("kept", 0);
    EXPECT_EQ(rows[9][0], TString("kept"));
}

} // namespace
