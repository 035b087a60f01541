#include <koa_dev/error_cluster.h>
#include <koa_dev/state_cache.h>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <type_traits>

namespace {

// Read before any test has touched the switch.
const bool kCachingAtLoad = StateCache::CacheEnable();

class StateCacheTest : public ::testing::Test {
  protected:
    void TearDown() override { StateCache::CacheEnable(false); }

    ErrorCluster clear;
    ErrorCluster failed{true, 14, "failed"};
};

TEST_F(StateCacheTest, SwitchGatesValidityAndClustersSetTheFlag) {
    EXPECT_FALSE(kCachingAtLoad);
    Value_StateCache<TString> c;
    EXPECT_FALSE(c.Update(&clear, "a"));
    EXPECT_TRUE(c.ValueValid());
    EXPECT_FALSE(c.Valid("a"));
    EXPECT_FALSE(StateCache::CacheEnable(true));
    EXPECT_TRUE(c.Valid("a"));
    EXPECT_FALSE(c.Valid("A"));
    EXPECT_TRUE(StateCache::CacheEnable(false));
    EXPECT_FALSE(c.Valid());
    StateCache::CacheEnable(true);

    ErrorCluster fatalOnly, warning;
    fatalOnly.SetFatal(2);
    warning.SetWarning(2, "conflict");
    EXPECT_TRUE(c.Update(&failed, "b")) << "Update answers what Valid() was before";
    EXPECT_STREQ(c.Value().CStr(), "b");
    EXPECT_FALSE(c.ValueValid());
    c.Update(&warning, "c");
    EXPECT_TRUE(c.ValueValid());
    c.Update(&fatalOnly, "d");
    EXPECT_FALSE(c.ValueValid());
    c.Update(&clear, "e");
    c.Invalidate();
    EXPECT_FALSE(c.Valid("e"));
    EXPECT_STREQ(c.Value().CStr(), "e");

    StateCache flag;
    EXPECT_FALSE(flag.Valid(&clear));
    EXPECT_TRUE(flag.Valid(&failed));
    EXPECT_FALSE(flag.ValueValid());
}

// Valid(x) on a value cache compares; it must never reach the base's setters.
template <typename C, typename A, typename = void> struct CanCallValid : std::false_type {};
template <typename C, typename A>
struct CanCallValid<C, A, std::void_t<decltype(std::declval<C&>().Valid(std::declval<A>()))>>
    : std::true_type {};
static_assert(CanCallValid<StateCache, ErrorCluster*>::value, "base keeps its cluster setter");
static_assert(!CanCallValid<Value_StateCache<bool>, ErrorCluster*>::value, "no pointer as bool");
static_assert(CanCallValid<Value_StateCache<int16_t>, int>::value, "plain literals compare");

TEST_F(StateCacheTest, BoolsCompareInsteadOfSettingAndNaNMatchesAnything) {
    StateCache::CacheEnable(true);
    Value_StateCache<bool> b;
    b.Update(&clear, false);
    EXPECT_FALSE(b.Valid(true));
    EXPECT_TRUE(b.Valid(false));

    auto nanMatches = [this](auto one) {
        using F = decltype(one);
        const F nan = std::numeric_limits<F>::quiet_NaN();
        Value_StateCache<F> c;
        c.Update(&clear, one);
        EXPECT_FALSE(c.Valid(F(1.0000001)));
        EXPECT_TRUE(c.Valid(nan));
        c.Update(&clear, nan);
        EXPECT_TRUE(c.Valid(F(-3.5)));
    };
    nanMatches(1.0f);
    nanMatches(1.0);
}

// The chain itself is shared with the address caches and tested there; this checks that every
// instance joins it and that one leaving from the middle keeps the others reachable.
TEST_F(StateCacheTest, InvalidateAllReachesEveryLiveInstance) {
    StateCache oldest;
    auto middle = std::make_unique<Value_StateCache<double>>();
    Value_StateCache<TString> newest;
    middle.reset();
    oldest.Valid(true);
    static_cast<StateCache&>(newest).Valid(true);
    StateCache::InvalidateAll();
    EXPECT_FALSE(oldest.ValueValid() || newest.ValueValid());
}

} // namespace
