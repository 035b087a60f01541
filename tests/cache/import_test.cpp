#include <koa_dev/koa_dev.h>

#include <gtest/gtest.h>

// Built against the shared library, as a device library is: every member of every exported cache
// type must be reachable from another module.
namespace {

template <typename T> void UseEveryMember(const T& stored, const T& other) {
    ErrorCluster clear;
    Value_StateCache<T> cache;
    EXPECT_FALSE(cache.Update(&clear, stored));
    EXPECT_TRUE(cache.Valid() && cache.ValueValid() && cache.Valid(stored));
    EXPECT_FALSE(cache.Valid(other));
    EXPECT_TRUE(cache.Value() == stored);
    cache.Invalidate();
    EXPECT_FALSE(static_cast<StateCache&>(cache).Valid(&clear));
    StateCache::InvalidateAll();
    EXPECT_FALSE(cache.ValueValid());
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

TEST(CacheImports, EveryInstantiationAndTheAddressBaseWorkFromAnotherModule) {
    StateCache::CacheEnable(true);
    UseEveryInstantiation<
        char, unsigned char, short, unsigned short, int32_t, uint32_t, float, double, bool,
        TArray<char, 1, LV_int8Array**>, TArray<unsigned char, 5, LV_uInt8Array**>,
        TArray<short, 2, LV_int16Array**>, TArray<unsigned short, 6, LV_uInt16Array**>,
        TArray<int32_t, 3, LV_int32Array**>, TArray<uint32_t, 7, LV_uInt32Array**>,
        TArray<float, 9, LV_float32Array**>, TArray<double, 10, LV_float64Array**>,
        TArray<bool, 1, LV_boolArray**>, TStringArray>();
    UseEveryMember<TString>("abc", "ABC");
    StateCache::CacheEnable(false);

    DeviceAddress device;
    EXPECT_NE(dynamic_cast<DeviceAddress*>(static_cast<AddressCache*>(&device)), nullptr);
    AddressCache::UpdateAll();
    EXPECT_FALSE(device.Valid());
    ErrorCluster clear;
    EXPECT_STREQ(AddressCache::RetrieveFailureList(&clear).CStr(), "register block\n");
    AddressCache::InvalidateAll(&clear);
    EXPECT_TRUE(AddressCache::RetrieveFailureList(&clear).IsEmpty());
}

} // namespace
