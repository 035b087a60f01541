#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <chrono>
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
        for (const std::string& name : {mutexName, memName})
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

    const std::string mutexName = UniqueLockName("lock"), memName = UniqueLockName("mem");
};

// One object takes the mutex once however often it locks; a second object on the same thread
// takes it again, and each releases only its own hold. Only the holding thread can release it.
// Without its objects the lock is refused; the check without locking looks at the mutex alone.
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
    ResourceLock skipped(&failed, false);
    skipped.Lock(&failed);
    EXPECT_EQ(TryFromAnotherThread(), "free");
    EXPECT_EQ(failed.Code(), 5);

    ResourceLockAccess::ForgetView();
    ErrorCluster checked, noView, noMutex[2];
    ResourceLock(&checked, false);
    ResourceLock(&noView, true);
    ResourceLockAccess::ForgetMutex();
    ResourceLock(&noMutex[0], false);
    ResourceLock(&noMutex[1], true);
    EXPECT_FALSE(checked.Status());
    EXPECT_EQ(noView.Code(), 15);
    EXPECT_STREQ(noView.Source().CStr(), "KOA_DEV.dll Resource Lock - Shared Memory NOT Found!");
    for (const ErrorCluster& missing : noMutex) {
        EXPECT_EQ(missing.Code(), 72);
        EXPECT_STREQ(missing.Source().CStr(), "KOA_DEV.dll Resource Lock not Found!");
    }
}

// Another process holds the lock until it is killed; its owner stamp shows that it has it. This
// process, waiting for it meanwhile, is woken and finds it abandoned, once.
TEST_F(ResourceLockTest, AHolderKilledInAnotherProcessLeavesTheLockAbandonedOnce) {
#if defined(KOA_DEV_TEST_EMULATOR)
    GTEST_SKIP() << "a user-mode emulator cannot tell a robust mutex that its owner died";
#endif
    auto holder = StartLockHelper(mutexName, memName);
    for (int i = 0; i < 6000 && ResourceLockAccess::Stamp() != 0x5eed; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(ResourceLockAccess::Stamp(), 0x5eedu);
    EXPECT_EQ(TryFromAnotherThread(), kTimeout) << "held by the other process";
    {
        std::thread killer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100)); // this thread likely waits
            holder.reset();
        });
        ErrorCluster err;
        ResourceLock lock(&err, true);
        killer.join();
        EXPECT_STREQ(err.Source().CStr(), "KOA_DEV.dll Resource Lock in a Undefined State!");
        EXPECT_EQ(ResourceLockAccess::Stamp(), 0x5eedu) << "the stamp stays the dead owner's";
        EXPECT_EQ(TryFromAnotherThread(), kTimeout) << "this thread holds it now";
    }
    EXPECT_EQ(TryFromAnotherThread(), "free") << "released, and clean again";
    EXPECT_NE(ResourceLockAccess::Stamp(), 0x5eedu);
}

// Threads that create the same name at nearly the same moment must all end up with one mutex.
TEST(NamedLock, SimultaneousCreatorsShareOneMutex) {
    using namespace koa::platform;
    for (int round = 0; round < 100; ++round) {
        const std::string name = UniqueLockName("race");
        void* handles[4] = {};
        std::vector<std::thread> creators;
        for (void*& handle : handles)
            creators.emplace_back([&] { handle = CreateNamedMutex(name.c_str()); });
        for (std::thread& creator : creators)
            creator.join();
        ASSERT_EQ(WaitNamedMutex(handles[0], 0), MutexWait::Acquired);
        std::thread([&] {
            for (void* handle : handles)
                EXPECT_EQ(WaitNamedMutex(handle, 0), MutexWait::Timeout) << round;
        }).join();
        EXPECT_TRUE(ReleaseNamedMutex(handles[0]));
        RemoveNamedObject(name.c_str());
    }
}

} // namespace
