#include <koa_dev/address_cache.h>
#include <koa_dev/error_cluster.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;
Log g_log;

// Fails exactly when it has names to record.
class Probe : public AddressCache {
  public:
    explicit Probe(std::string name, Log failures = {}) : name(name), failures(failures) {}

    bool UpdateAddress() override {
        if (name == "throws")
            throw std::runtime_error("a driver's bug");
        g_log.push_back("update " + name);
        for (const std::string& f : failures)
            UpdateFailureList(f.c_str());
        return failures.empty();
    }

    std::string name;
    Log failures;

  protected:
    void SetValidState(bool state) override {
        g_log.push_back(name + (state ? " valid" : " invalid"));
        AddressCache::SetValidState(state);
    }
};

class AddressCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AddressCache::InvalidateAll();
        g_log.clear();
    }

    std::string Failures() { return AddressCache::RetrieveFailureList(&clear).CStr(); }

    ErrorCluster clear;
};

TEST_F(AddressCacheTest, RefreshAndInvalidationRunNewestFirstUnlessTheClusterHoldsAnError) {
    Probe a("A"), b("B", {"B"}), c("C");
    AddressCache::UpdateAll();
    EXPECT_EQ(g_log, (Log{"update C", "C valid", "update B", "B invalid", "update A", "A valid"}));
    EXPECT_TRUE(a.Valid() && !b.Valid());
    EXPECT_EQ(Failures(), "B\n");

    g_log.clear();
    ErrorCluster failed(true, 72, "lock"), fatal, warning;
    fatal.SetFatal(2);
    warning.SetWarning(1, "unverified");
    for (ErrorCluster* err : {&failed, &fatal}) {
        AddressCache::UpdateAll(err);
        AddressCache::InvalidateAll(err);
        EXPECT_TRUE(AddressCache::RetrieveFailureList(err).IsEmpty());
    }
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(Failures(), "B\n");
    b.failures.clear();
    AddressCache::UpdateAll(&warning);
    EXPECT_TRUE(b.Valid());
    g_log.clear();
    AddressCache::InvalidateAll(&warning);
    EXPECT_EQ(g_log, (Log{"C invalid", "B invalid", "A invalid"}));

    Probe throws("throws");
    ErrorCluster err;
    EXPECT_NO_THROW(AddressCache::UpdateAll(&err));
    EXPECT_EQ(err.FatalCode(), 42) << "an exception of a driver's code goes no further";
    EXPECT_NO_THROW(AddressCache::UpdateAll());
}

TEST_F(AddressCacheTest, FailureListKeepsTenDistinctNamesInOrder) {
    Probe older("older", {"A"}), p("p", {"A", "B"});
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), "A\nB\n");
    older.failures.clear();
    p.failures = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "3"};
    const std::string ten = "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n";
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), ten);
    p.failures.back() = "10";
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), ten + "...\n");
    AddressCache::InvalidateAll();
    EXPECT_EQ(Failures(), "");
    p.failures = {"", "Z"};
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), "\nZ\n");
    p.failures = {""};
    AddressCache::UpdateAll();
    EXPECT_EQ(Failures(), "");
}

// A refresh must visit exactly the live objects, newest first, whatever order they came and went.
TEST_F(AddressCacheTest, ChainStaysIntactUnderAnyOrderOfConstructionAndDestruction) {
    std::vector<std::unique_ptr<Probe>> live;
    std::mt19937 random(1205);
    for (int step = 0; step < 300; ++step) {
        if (live.empty() || random() % 2 == 0)
            live.push_back(std::make_unique<Probe>(std::to_string(step)));
        else
            live.erase(live.begin() + static_cast<long>(random() % live.size()));
        Log expected;
        for (auto it = live.rbegin(); it != live.rend(); ++it)
            expected.insert(expected.end(), {"update " + (*it)->name, (*it)->name + " valid"});
        g_log.clear();
        AddressCache::UpdateAll();
        ASSERT_EQ(g_log, expected) << "step " << step;
    }
}

} // namespace
