// Built as a user of the shared library, through its import declarations: every exported cache
// instantiation and the address-cache base must link and work.
#include <koa_dev/koa_dev.h>

#include "arrays/array_values.h"

namespace {

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
