#include <koa_dev/address_cache.h>
#include <koa_dev/error_cluster.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Fails exactly when it has names to record.
class Probe : public AddressCache {
  public:
    explicit Probe(std::string name, std::vector<std::string> failures = {})
        : name(std::move(name)), failures(std::move(failures)) {}

    bool UpdateAddress() override {
        g_log.push_back("update " + name);
        for (const std::string& f : failures)
            UpdateFailureList(f.c_str());
        return failures.empty();
    }

    std::string name;
    std::vector<std::string> failures;

  protected:
    void SetValidState(bool state) override {
        g_log.push_back(name + (state ? " valid" : " invalid"));
        AddressCache::SetValidState(state);
    }
};

std::vector<std::string> Names(int n) {
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i)
        names.push_back("addr" + std::to_string(i));
    return names;
}

std::string Lines(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names)
        text += n + "\n";
    return text;
}

class AddressCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AddressCache::InvalidateAll();
        g_log.clear();
    }

    std::string Failures() { return AddressCache::RetrieveFailureList(&clear).CStr(); }

    ErrorCluster clear;
};

using Log = std::vector<std::string>;

TEST_F(AddressCacheTest, RefreshAndInvalidationRunNewestFirstThroughTheDerivedClass) {
    Probe a("A"), b("B", {"B"}), c("C");
    EXPECT_TRUE(g_log.empty());
    EXPECT_FALSE(a.Valid());

    AddressCache::UpdateAll();
    EXPECT_EQ(g_log, (Log{"update C", "C valid", "update B", "B invalid", "update A", "A valid"}));
    EXPECT_TRUE(a.Valid());
    EXPECT_FALSE(b.Valid());

    g_log.clear();
    AddressCache::InvalidateAll();
    EXPECT_EQ(g_log, (Log{"C invalid", "B invalid", "A invalid"}));
    EXPECT_EQ(Failures(), "");
}

TEST_F(AddressCacheTest, FailureListKeepsTenDistinctNamesInOrder) {
    Probe older("older", {"A"}), p("p", {"A", "B"});
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), "A\nB\n");
    EXPECT_EQ(Failures(), "A\nB\n");

    const std::vector<std::string> ten = Names(10);
    older.failures.clear();
    p.failures = ten;
    p.failures.push_back("addr3");
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), Lines(ten));

    p.failures = Names(11);
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), Lines(ten) + "...\n");

    AddressCache::InvalidateAll();
    EXPECT_EQ(Failures(), "");
    p.failures = {"", "Z"};
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), "\nZ\n");
    p.failures = {""};
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), "");
}

TEST_F(AddressCacheTest, ClusterHoldingAnErrorStopsRefreshAndInvalidation) {
    Probe p("P", {"P"});
    AddressCache::UpdateAll();
    p.failures.clear();
    g_log.clear();

    ErrorCluster failed(true, 72, "lock");
    ErrorCluster fatal;
    fatal.SetFatal(2);
    for (ErrorCluster* err : {&failed, &fatal}) {
        AddressCache::UpdateAll(err);
        AddressCache::InvalidateAll(err);
        EXPECT_TRUE(AddressCache::RetrieveFailureList(err).IsEmpty());
    }
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(Failures(), "P\n");

    ErrorCluster warning;
    warning.SetWarning(1, "unverified");
    AddressCache::UpdateAll(&warning);
    EXPECT_TRUE(p.Valid());
    EXPECT_EQ(Failures(), "");
    AddressCache::InvalidateAll(&warning);
    EXPECT_FALSE(p.Valid());
}

// A refresh must visit exactly the live objects, newest first, whatever order they came and went.
TEST_F(AddressCacheTest, ChainStaysIntactUnderAnyOrderOfConstructionAndDestruction) {
    std::vector<std::unique_ptr<Probe>> live;
    std::mt19937 random(1205);
    for (int step = 0; step < 300; ++step) {
        if (live.empty() || random() % 2 == 0) {
            live.push_back(std::make_unique<Probe>(std::to_string(step)));
        } else {
            live.erase(live.begin() + static_cast<long>(random() % live.size()));
        }
        Log expected;
        for (auto it = live.rbegin(); it != live.rend(); ++it)
            expected.insert(expected.end(), {"update " + (*it)->name, (*it)->name + " valid"});
        g_log.clear();
        AddressCache::UpdateAll();
        ASSERT_EQ(g_log, expected) << "step " << step;
    }
}

} // namespace
