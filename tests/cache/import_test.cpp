#include <koa_dev/koa_dev.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// Built against the shared library, as a device library is: every member of every exported cache
// type must be reachable from another module.
namespace {

class DeviceAddress : public AddressCache {
  public:
    bool UpdateAddress() override {
        UpdateFailureList("register block");
        return false;
    }
};

template <typename T> void UseEveryMember(T stored, T other) {
    ErrorCluster clear;
    Value_StateCache<T> cache;
    StateCache& base = cache;
    EXPECT_FALSE(cache.Update(&clear, stored));
    EXPECT_TRUE(cache.Valid() && cache.ValueValid());
    EXPECT_TRUE(cache.Valid(stored));
    EXPECT_FALSE(cache.Valid(other));
    EXPECT_TRUE(cache.Value() == stored);
    cache.Invalidate();
    EXPECT_FALSE(base.Valid());
    EXPECT_FALSE(base.Valid(&clear));
    StateCache::InvalidateAll();
    EXPECT_FALSE(cache.ValueValid());
}

TEST(CacheImports, EveryInstantiationAndTheAddressBaseWorkFromAnotherModule) {
    StateCache::CacheEnable(true);
    UseEveryMember<char>('a', 'b');
    UseEveryMember<unsigned char>(200, 1);
    UseEveryMember<short>(-300, 300);
    UseEveryMember<unsigned short>(60000, 1);
    UseEveryMember<int32_t>(-70000, 70000);
    UseEveryMember<uint32_t>(4000000000u, 1);
    UseEveryMember<float>(1.5f, 2.5f);
    UseEveryMember<double>(1.0, 1.0000001);
    UseEveryMember<bool>(true, false);
    UseEveryMember<TString>("abc", "ABC");
    UseEveryMember(TArray<char, 1, LV_int8Array**>(1, 'a'), TArray<char, 1, LV_int8Array**>());
    UseEveryMember(TArray<unsigned char, 5, LV_uInt8Array**>(1, 200),
                   TArray<unsigned char, 5, LV_uInt8Array**>(2, 200, 1));
    UseEveryMember(TArray<short, 2, LV_int16Array**>(1, -3),
                   TArray<short, 2, LV_int16Array**>(1, 3));
    UseEveryMember(TArray<unsigned short, 6, LV_uInt16Array**>(2, 1, 2),
                   TArray<unsigned short, 6, LV_uInt16Array**>(2, 2, 1));
    UseEveryMember(TArray<int32_t, 3, LV_int32Array**>(1, -70000),
                   TArray<int32_t, 3, LV_int32Array**>(1, 70000));
    UseEveryMember(TArray<uint32_t, 7, LV_uInt32Array**>(1, 4000000000u),
                   TArray<uint32_t, 7, LV_uInt32Array**>(1, 1u));
    UseEveryMember(TArray<float, 9, LV_float32Array**>(1, 1.5f),
                   TArray<float, 9, LV_float32Array**>(1, 2.5f));
    UseEveryMember(TArray<double, 10, LV_float64Array**>(1, 1.0),
                   TArray<double, 10, LV_float64Array**>(1, 1.0000001));
    UseEveryMember(TArray<bool, 1, LV_boolArray**>(1, true),
                   TArray<bool, 1, LV_boolArray**>(1, false));
    UseEveryMember(TStringArray(1, "abc"), TStringArray(1, "ABC"));
    StateCache::CacheEnable(false);

    DeviceAddress device;
    AddressCache* base = &device;
    EXPECT_NE(dynamic_cast<DeviceAddress*>(base), nullptr);
    AddressCache::UpdateAll();
    EXPECT_FALSE(device.Valid());
    ErrorCluster clear;
    EXPECT_STREQ(AddressCache::RetrieveFailureList(&clear).CStr(), "register block\n");
    AddressCache::InvalidateAll(&clear);
    EXPECT_TRUE(AddressCache::RetrieveFailureList(&clear).IsEmpty());
}

} // namespace
