// Built as a user of the shared library, through its import declarations: the exported
// instantiations and the constructors that users instantiate themselves must link and work.
#include <koa_dev/koa_dev.h>

#include "arrays/array_values.h"
#include "support/lv_test.h"

namespace {

class ImportedArrays : public LvTest {};

TEST_F(ImportedArrays, ConvertThroughHandles) {
    ErrorCluster err;
    LV_stringArrayArray** h = nullptr;
    const TStringArray row(2, TString("x"), "y");
    TextRows(3, &row, &row, &row).Insert(TextRows(1, 3), 1).SetLV_Array(&err, &h);
    EXPECT_EQ(Values(TextRows(h).CreateFlattenedArray()),
              (Strings{"x", "y", "", "", "", "x", "y", "x", "y"}));
    Free(h);
}

// Calls every member of one exported cache instantiation.
template <typename T> void UseEveryMember(const T& stored, const T& other) {
    ErrorCluster clear;
    Value_StateCache<T> cache;
    cache.Update(&clear, stored);
    EXPECT_TRUE(cache.Valid() && cache.ValueValid() && cache.Valid(stored) && !cache.Valid(other));
    cache.Invalidate();
    EXPECT_TRUE(!static_cast<StateCache&>(cache).Valid(&clear) && cache.Value() == stored);
}

template <typename... T> void UseEveryInstantiation() {
    (UseEveryMember(T(1), T()), ...);
}

class DeviceAddress : public AddressCache {
  public:
    bool UpdateAddress() override {
        UpdateFailureList("register block");
        return false;
    }
};

TEST(ImportedCaches, EveryInstantiationAndTheAddressBaseWork) {
    StateCache::CacheEnable(true);
    UseEveryInstantiation<char, unsigned char, short, unsigned short, LV_int32, LV_uInt32, float,
                          double, bool, Int8s, UInt8s, Int16s, UInt16s, Int32s, UInt32s, Floats,
                          Doubles, Bools, TStringArray>();
    UseEveryMember<TString>("abc", "ABC");
    StateCache::CacheEnable(false);

    DeviceAddress device;
    AddressCache::UpdateAll();
    EXPECT_FALSE(device.Valid());
    ErrorCluster clear;
    EXPECT_STREQ(AddressCache::RetrieveFailureList(&clear).CStr(), "register block\n");
}

} // namespace
