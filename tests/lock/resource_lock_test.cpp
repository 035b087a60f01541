#include "libraries/module_handles.h"
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

using koa::ResourceLockAccess;

namespace {

constexpr uint32_t kTestWait = 10000;

class ResourceLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
        ResourceLockAccess::SetWaitLimit(kTestWait);
    }
    void TearDown() override {
        koa::platform::RemoveNamedObject(mutexName.c_str());
        koa::platform::RemoveNamedObject(memName.c_str());
    }

    // Whether another thread of this instance can take the lock without waiting; its error
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

    const std::string mutexName = UniqueLockName("lock");
    const std::string memName = UniqueLockName("mem");
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
    EXPECT_EQ(TryFromAnotherThread(), "KOA_DEV.dll Resource Lock not Found!");
}

TEST_F(ResourceLockTest, HoldsFromLockToUnlockOrDestruction) {
    ErrorCluster err;
    {
        ResourceLock lock(&err, false);
        EXPECT_EQ(TryFromAnotherThread(), "free");
        lock.Lock(&err);
        EXPECT_EQ(TryFromAnotherThread(), "KOA_DEV.dll Resource Lock Timeout!");
        lock.Lock(&err); // no second acquisition: one release frees it
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

TEST_F(ResourceLockTest, SecondObjectOnTheSameThreadNestsAndEachReleasesOnce) {
    ErrorCluster err;
    ResourceLock outer(&err, true);
    {
        ResourceLock inner(&err, true);
        ASSERT_FALSE(err.Status());
        inner.UnLock();
        inner.UnLock(); // must not release the outer object's hold
        EXPECT_EQ(TryFromAnotherThread(), "KOA_DEV.dll Resource Lock Timeout!");
    }
    outer.UnLock();
    EXPECT_EQ(TryFromAnotherThread(), "free");
}

TEST_F(ResourceLockTest, OnlyTheHoldingThreadReleases) {
    ErrorCluster err;
    ResourceLock lock(&err, false);
    std::promise<void> locked, checked;
    std::thread holder([&] {
        lock.Lock(&err);
        locked.set_value();
        checked.get_future().wait();
        lock.UnLock();
    });
    locked.get_future().wait();
    lock.UnLock();
    std::string whileHeld = TryFromAnotherThread();
    checked.set_value();
    holder.join();
    EXPECT_EQ(whileHeld, "KOA_DEV.dll Resource Lock Timeout!");
    EXPECT_EQ(TryFromAnotherThread(), "free");
    EXPECT_FALSE(err.Status());
}

TEST_F(ResourceLockTest, FirstLockOfAnInstanceInvalidatesTheStateCachesAndStampsIt) {
    void* const realModule = moduleHandle;
    moduleHandle = reinterpret_cast<void*>(uintptr_t{0x6a5000});
    StateCache cache;
    cache.Valid(true);
    ASSERT_TRUE(LockOnce());
    EXPECT_FALSE(cache.ValueValid());
    EXPECT_EQ(ResourceLockAccess::Stamp(), 0x6a5000u);
    cache.Valid(true);
    ASSERT_TRUE(LockOnce());
    EXPECT_TRUE(cache.ValueValid()) << "the stamp was still this instance's";

    ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    ASSERT_TRUE(LockOnce());
    EXPECT_FALSE(cache.ValueValid()) << "a new instance invalidates whatever the stamp";
    moduleHandle = realModule;
}

} // namespace
