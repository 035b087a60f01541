#include <koa_dev/address_cache.h>
#include <koa_dev/error_cluster.h>
#include <koa_dev/state_cache.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Read before any test has touched the switch.
const bool kCachingAtLoad = StateCache::CacheEnable();

using Log = std::vector<std::string>;
Log g_log;

class Caches : public ::testing::Test {
  protected:
    void SetUp() override {
        AddressCache::InvalidateAll();
        fatal.SetFatal(2);
        warning.SetWarning(1, "unverified");
    }
    void TearDown() override { StateCache::CacheEnable(false); }

    static Log Refresh(ErrorCluster* err = nullptr) {
        g_log.clear();
        err ? AddressCache::UpdateAll(err) : AddressCache::UpdateAll();
        return g_log;
    }
    std::string Failures() { return AddressCache::RetrieveFailureList(&clear).CStr(); }
    std::string Refreshed() { return Refresh(), Failures(); }

    ErrorCluster clear, failed{true, 14, "failed"}, fatal, warning;
};

// Valid(x) on a value cache compares; a cluster pointer must not reach it as a bool.
template <typename C, typename A, typename = void> struct CanCallValid : std::false_type {};
template <typename C, typename A>
struct CanCallValid<C, A, std::void_t<decltype(std::declval<C&>().Valid(std::declval<A>()))>>
    : std::true_type {};
static_assert(!CanCallValid<Value_StateCache<bool>, ErrorCluster*>::value &&
              CanCallValid<Value_StateCache<int16_t>, int>::value);

TEST_F(Caches, SwitchGatesValidityClustersSetTheFlagAndNaNMatchesAnything) {
    EXPECT_FALSE(kCachingAtLoad);
    Value_StateCache<TString> c;
    EXPECT_FALSE(c.Update(&clear, "a"));
    EXPECT_TRUE(c.ValueValid() && !c.Valid() && !c.Valid("a"));
    EXPECT_FALSE(StateCache::CacheEnable(true));
    EXPECT_TRUE(c.Valid("a") && !c.Valid("A") && StateCache::CacheEnable());
    EXPECT_TRUE(StateCache::CacheEnable(false) && !c.Valid() && !StateCache::CacheEnable(true));
    EXPECT_TRUE(c.Update(&failed, "b")) << "Update answers what Valid() was before";
    EXPECT_TRUE(c.Value() == TString("b") && !c.ValueValid());
    EXPECT_FALSE(c.Update(&warning, "c") || !c.ValueValid());
    EXPECT_TRUE(c.Update(&fatal, "d") && !c.ValueValid());
    c.Update(&clear, "e");
    c.Invalidate();
    EXPECT_TRUE(!c.Valid("e") && c.Value() == TString("e"));
    StateCache flag;
    EXPECT_TRUE(!flag.Valid(&clear) && flag.Valid(&failed) && !flag.ValueValid());
    flag.Valid(true);
    c.Update(&clear, "f");
    StateCache::InvalidateAll();
    EXPECT_FALSE(c.ValueValid() || flag.ValueValid()) << "every instance of the chain";

    // Booleans compare their stored bytes; a NaN matches anything.
    Value_StateCache<bool> b;
    EXPECT_TRUE(!b.Update(&clear, false) && b.Valid(false) && !b.Valid(true));
    auto nanMatches = [this](auto one) {
        using F = decltype(one);
        const F nan = std::numeric_limits<F>::quiet_NaN();
        Value_StateCache<F> f;
        EXPECT_TRUE(!f.Update(&clear, one) && !f.Valid(F(1.0000001)) && f.Valid(one) &&
                    f.Valid(nan));
        EXPECT_TRUE(f.Update(&clear, nan) && f.Valid(F(-3.5)));
    };
    nanMatches(1.0f);
    nanMatches(1.0);
}

// Fails exactly when it has names to record; logs what the base tells it.
struct Probe : AddressCache {
    explicit Probe(std::string name, Log failures = {}) : name(name), failures(failures) {}
    bool UpdateAddress() override {
        if (name == "throws")
            throw std::runtime_error("a driver's bug");
        for (const std::string& f : failures)
            UpdateFailureList(f.c_str());
        return failures.empty();
    }
    void SetValidState(bool state) override {
        g_log.push_back(name + (state ? " valid" : " invalid"));
        AddressCache::SetValidState(state);
    }

    std::string name;
    Log failures;
};

TEST_F(Caches, RefreshAndInvalidationRunNewestFirstUnlessTheClusterHoldsAnErrorAndListFailures) {
    Probe a("A"), b("B", {"B"}), c("C");
    EXPECT_EQ(Refresh(), (Log{"C valid", "B invalid", "A valid"}));
    EXPECT_TRUE(a.Valid() && !b.Valid());
    EXPECT_EQ(Failures(), "B\n");
    for (ErrorCluster* err : {&failed, &fatal}) {
        EXPECT_TRUE(Refresh(err).empty());
        AddressCache::InvalidateAll(err);
        EXPECT_TRUE(g_log.empty() && a.Valid() && AddressCache::RetrieveFailureList(err).IsEmpty());
    }
    EXPECT_EQ(Failures(), "B\n");
    b.failures.clear();
    EXPECT_EQ(Refresh(&warning), (Log{"C valid", "B valid", "A valid"}));
    g_log.clear();
    AddressCache::InvalidateAll(&warning);
    EXPECT_EQ(g_log, (Log{"C invalid", "B invalid", "A invalid"}));

    // The failure list keeps ten distinct names in the order recorded.
    Probe older("older", {"A"}), p("p", {"A", "B"});
    EXPECT_EQ(Refreshed(), "A\nB\n");
    older.failures.clear();
    p.failures = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "3"};
    const std::string ten = "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n";
    EXPECT_EQ(Refreshed(), ten);
    p.failures.back() = "10";
    EXPECT_EQ(Refreshed(), ten + "...\n");
    AddressCache::InvalidateAll();
    EXPECT_EQ(Failures(), "");
    p.failures = {"", "Z"};
    EXPECT_EQ(Refreshed(), "\nZ\n");
    p.failures = {""};
    EXPECT_EQ(Refreshed(), "");

    Probe throws("throws");
    EXPECT_NO_THROW(AddressCache::UpdateAll(&clear));
    EXPECT_EQ(clear.FatalCode(), 42) << "an exception of a driver's code goes no further";
    EXPECT_NO_THROW(AddressCache::UpdateAll());
}

// The chain must keep exactly the live objects, newest first, whichever of them leaves.
TEST_F(Caches, AddressChainKeepsTheLiveObjectsWhereverOneLeaves) {
    std::unique_ptr<Probe> p[] = {std::make_unique<Probe>("A"), std::make_unique<Probe>("B"),
                                  std::make_unique<Probe>("C"), std::make_unique<Probe>("D")};
    p[1].reset();
    EXPECT_EQ(Refresh(), (Log{"D valid", "C valid", "A valid"}));
    p[3].reset();
    EXPECT_EQ(Refresh(), (Log{"C valid", "A valid"}));
    p[0].reset();
    Probe e("E");
    EXPECT_EQ(Refresh(), (Log{"E valid", "C valid"}));
    p[2].reset();
    EXPECT_EQ(Refresh(), (Log{"E valid"}));
}

} // namespace
