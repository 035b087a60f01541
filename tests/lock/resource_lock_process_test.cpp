#include "lock/child_process.h"
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using koa::ResourceLockAccess;

namespace {

class ResourceLockProcessTest : public ::testing::Test {
  protected:
    // The lock's objects are left for the helpers to create, racing each other.
    void SetUp() override {
        void* memory = koa::platform::CreateSharedMemory(blockName.c_str(), sizeof(HelperBlock));
        ASSERT_NE(memory, nullptr);
        block = static_cast<HelperBlock*>(koa::platform::MapSharedMemory(memory));
        ASSERT_NE(block, nullptr);
    }
    void TearDown() override {
        for (const std::string& name : {mutexName, memName, blockName})
            koa::platform::RemoveNamedObject(name.c_str());
    }

    std::vector<std::string> Args(const char* command, std::vector<std::string> more) const {
        std::vector<std::string> args{command, mutexName, memName};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    // 0: the helper took the lock; 2: it timed out.
    int RunOnce(uint32_t stamp) {
        return HelperProcess(Args("once", {std::to_string(stamp), "100"})).Wait();
    }

    bool WaitUntilHolding() const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (block->holding == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return block->holding != 0;
    }

    const std::string mutexName = UniqueLockName("lock");
    const std::string memName = UniqueLockName("mem");
    const std::string blockName = UniqueLockName("block");
    HelperBlock* block = nullptr;
};

TEST_F(ResourceLockProcessTest, ProcessesCountingUnderTheLockLoseNoIncrement) {
    constexpr int kProcesses = 4;
    constexpr int kIterations = 3000;
    std::vector<std::unique_ptr<HelperProcess>> helpers;
    for (int i = 0; i < kProcesses; ++i) {
        helpers.push_back(std::make_unique<HelperProcess>(
            Args("count", {blockName, std::to_string(kIterations)})));
        ASSERT_TRUE(helpers.back()->Started());
    }
    block->start = 1;
    for (auto& helper : helpers)
        EXPECT_EQ(helper->Wait(), 0) << "2: lock failed, 3: two holders at once";
    EXPECT_EQ(block->counter, uint32_t{kProcesses * kIterations});
}

TEST_F(ResourceLockProcessTest, KilledHolderLeavesTheLockAbandonedOnce) {
#if defined(KOA_DEV_TEST_EMULATOR)
    GTEST_SKIP() << "a user-mode emulator cannot tell a robust mutex that its owner died";
#endif
    // Windows objects end with their last handle: this process keeps them open throughout.
    ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    HelperProcess holder(Args("hold", {blockName, "0x5eed"}));
    ASSERT_TRUE(holder.Started());
    ASSERT_TRUE(WaitUntilHolding());
    holder.Kill();
    holder.Wait();

    ErrorCluster err;
    {
        ResourceLock lock(&err, true);
        EXPECT_EQ(err.Code(), 72);
        EXPECT_STREQ(err.Source().CStr(), "KOA_DEV.dll Resource Lock in a Undefined State!");
        EXPECT_EQ(ResourceLockAccess::Stamp(), 0x5eedu) << "the stamp stays the dead owner's";
        EXPECT_EQ(RunOnce(1), 2) << "the abandoned lock is held by this process now";
    }
    EXPECT_EQ(RunOnce(1), 0);
    ResourceLockAccess::SetStamp(2);
    ErrorCluster later;
    ResourceLock lock(&later, true);
    EXPECT_FALSE(later.Status());
    EXPECT_EQ(ResourceLockAccess::Stamp(), 2u);
}

TEST_F(ResourceLockProcessTest, AnotherStampInBetweenInvalidatesTheStateCaches) {
    StateCache cache;
    ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    ResourceLockAccess::SetStamp(0xa);
    ASSERT_TRUE(LockOnce());
    cache.Valid(true);
    EXPECT_EQ(RunOnce(0xa), 0);
    ASSERT_TRUE(LockOnce());
    EXPECT_TRUE(cache.ValueValid()) << "an instance with an equal module handle came between";
    EXPECT_EQ(RunOnce(0xb), 0);
    EXPECT_EQ(ResourceLockAccess::Stamp(), 0xbu);
    ASSERT_TRUE(LockOnce());
    EXPECT_FALSE(cache.ValueValid());
    EXPECT_EQ(ResourceLockAccess::Stamp(), 0xau);
}

} // namespace
