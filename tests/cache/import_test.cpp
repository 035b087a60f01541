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
