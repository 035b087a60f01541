#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using koa::ResourceLockAccess;

namespace {

constexpr uint32_t kTestWait = 10000;
constexpr const char* kTimeout = "KOA_DEV.dll Resource Lock Timeout!";

// Each test has lock objects of its own; helper processes (lock_helper.cpp) open them too.
class ResourceLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
        ResourceLockAccess::SetWaitLimit(kTestWait);
    }
    void TearDown() override {
        for (const std::string& name : {mutexName, memName, blockName})
            koa::platform::RemoveNamedObject(name.c_str());
    }

    // "free" when another thread of this instance can take the lock at once; its error
    // source otherwise.
    static std::string TryFromAnotherThread() {
        ResourceLockAccess::SetWaitLimit(0);
        std::string result;
        std::thread([&] {
            ErrorCluster err;
            ResourceLock lock(&err, true);
            result = err.Status() ? err.Source().CStr() : "free";
        }).join();
        ResourceLockAccess::SetWaitLimit(kTestWait);
        return result;
    }

    HelperBlock* Block() {
        if (block == nullptr) {
            void* memory = koa::platform::CreateSharedMemory(blockName.c_str(), sizeof *block);
            block = static_cast<HelperBlock*>(koa::platform::MapSharedMemory(memory));
        }
        return block;
    }
    std::unique_ptr<HelperProcess> Start(uint32_t stamp, const std::string& work) {
        return std::make_unique<HelperProcess>(
            std::vector<std::string>{mutexName, memName, blockName, std::to_string(stamp), work});
    }
    // Another instance takes the lock once; 0 when it did so cleanly.
    int LockElsewhere(uint32_t stamp) {
        Block()->start = 1;
        return Start(stamp, "1")->Wait();
    }

    const std::string mutexName = UniqueLockName("lock");
    const std::string memName = UniqueLockName("mem");
    const std::string blockName = UniqueLockName("block");
    HelperBlock* block = nullptr;
};

TEST_F(ResourceLockTest, MissingObjectsAreReported) {
    ErrorCluster checked;
    ResourceLock check(&checked, false);
    EXPECT_FALSE(checked.Status());
    ResourceLockAccess::ForgetView();
    ErrorCluster noView;
    ResourceLock unmapped(&noView, false);
    EXPECT_FALSE(noView.Status()) << "the check looks at the mutex alone";
    unmapped.Lock(&noView);
    EXPECT_EQ(noView.Code(), 15);
    EXPECT_STREQ(noView.Source().CStr(), "KOA_DEV.dll Resource Lock - Shared Memory NOT Found!");
    ResourceLockAccess::ForgetMutex();
    for (bool lock : {false, true}) {
        ErrorCluster err;
        ResourceLock missing(&err, lock);
        EXPECT_EQ(err.Code(), 72);
        EXPECT_STREQ(err.Source().CStr(), "KOA_DEV.dll Resource Lock not Found!");
    }
}

// One object takes the mutex once however often it locks; a second object on the same thread
// takes it again, and each releases only its own hold. Only the holding thread can release it.
TEST_F(ResourceLockTest, HoldsFromLockToUnlockAndNestsOnItsThread) {
    ErrorCluster err;
    {
        ResourceLock lock(&err, false);
        EXPECT_EQ(TryFromAnotherThread(), "free");
        lock.Lock(&err);
        lock.Lock(&err);
        EXPECT_EQ(TryFromAnotherThread(), kTimeout);
        {
            ResourceLock inner(&err, true);
            ASSERT_FALSE(err.Status());
            inner.UnLock();
            inner.UnLock();
            EXPECT_EQ(TryFromAnotherThread(), kTimeout);
        }
        std::thread([&] { lock.UnLock(); }).join();
        EXPECT_EQ(TryFromAnotherThread(), kTimeout) << "released by a thread that does not hold it";
        lock.UnLock();
        EXPECT_EQ(TryFromAnotherThread(), "free");
        lock.Lock(&err);
    }
    EXPECT_EQ(TryFromAnotherThread(), "free");
    EXPECT_FALSE(err.Status());

    ErrorCluster failed(true, 5, "earlier");
    ResourceLock skipped(&failed, true);
    EXPECT_EQ(TryFromAnotherThread(), "free");
    EXPECT_EQ(failed.Code(), 5);
}

// The stamp names an instance's module, kept in memory that every process shares.
TEST_F(ResourceLockTest, AnotherStampInBetweenInvalidatesTheStateCaches) {
    ResourceLockAccess::SetStamp(0x6a5000);
    StateCache cache;
    cache.Valid(true);
    EXPECT_EQ(LockElsewhere(0x6a5000), 0);
    ASSERT_TRUE(LockOnce());
    EXPECT_FALSE(cache.ValueValid()) << "an instance's first lock invalidates, whatever the stamp";
    cache.Valid(true);
    ASSERT_TRUE(LockOnce());
    EXPECT_EQ(LockElsewhere(0x6a5000), 0);
    ASSERT_TRUE(LockOnce());
    EXPECT_TRUE(cache.ValueValid()) << "only this stamp, or an equal one, came between";
    EXPECT_EQ(LockElsewhere(0xb), 0);
    EXPECT_EQ(ResourceLockAccess::Stamp(), 0xbu);
    ASSERT_TRUE(LockOnce());
    EXPECT_FALSE(cache.ValueValid());
    EXPECT_EQ(ResourceLockAccess::Stamp(), 0x6a5000u);
}

TEST_F(ResourceLockTest, ProcessesCountingUnderTheLockLoseNoIncrement) {
    constexpr int kProcesses = 4;
    constexpr int kIterations = 3000;
    std::vector<std::unique_ptr<HelperProcess>> helpers;
    for (uint32_t stamp = 1; stamp <= kProcesses; ++stamp) {
        helpers.push_back(Start(stamp, std::to_string(kIterations)));
        ASSERT_TRUE(helpers.back()->Started());
    }
    Block()->start = 1;
    for (auto& helper : helpers)
        EXPECT_EQ(helper->Wait(), 0) << "2: lock failed, 3: two holders at once";
    EXPECT_EQ(Block()->counter, uint32_t{kProcesses * kIterations});
}

TEST_F(ResourceLockTest, KilledHolderLeavesTheLockAbandonedOnce) {
#if defined(KOA_DEV_TEST_EMULATOR)
    GTEST_SKIP() << "a user-mode emulator cannot tell a robust mutex that its owner died";
#endif
    Block()->start = 1;
    auto holder = Start(0x5eed, "hold");
    ASSERT_TRUE(holder->Started());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Block()->holding == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_NE(Block()->holding, 0u);
    holder->Kill();
    holder->Wait();
    {
        ErrorCluster err;
        ResourceLock lock(&err, true);
        EXPECT_EQ(err.Code(), 72);
        EXPECT_STREQ(err.Source().CStr(), "KOA_DEV.dll Resource Lock in a Undefined State!");
        EXPECT_EQ(ResourceLockAccess::Stamp(), 0x5eedu) << "the stamp stays the dead owner's";
        EXPECT_EQ(TryFromAnotherThread(), kTimeout) << "this thread holds it now";
    }
    EXPECT_EQ(LockElsewhere(1), 0) << "released, and clean again for every process";
    EXPECT_EQ(ResourceLockAccess::Stamp(), 1u);
}

// Threads that create the same name at the same moment must all end up with one mutex.
TEST(NamedLock, SimultaneousCreatorsShareOneMutex) {
    using koa::platform::MutexWait;
    for (int round = 0; round < 100; ++round) {
        const std::string name = UniqueLockName("race");
        std::atomic<bool> go{false};
        std::vector<void*> handles(4, nullptr);
        std::vector<std::thread> creators;
        for (void*& handle : handles)
            creators.emplace_back([&] {
                while (!go)
                    std::this_thread::yield();
                handle = koa::platform::CreateNamedMutex(name.c_str());
            });
        go = true;
        for (std::thread& creator : creators)
            creator.join();
        ASSERT_EQ(koa::platform::WaitNamedMutex(handles[0], 0), MutexWait::Acquired);
        std::thread([&] {
            for (void* handle : handles)
                EXPECT_EQ(koa::platform::WaitNamedMutex(handle, 0), MutexWait::Timeout)
                    << "round " << round;
        }).join();
        EXPECT_TRUE(koa::platform::ReleaseNamedMutex(handles[0]));
        koa::platform::RemoveNamedObject(name.c_str());
    }
}

} // namespace
