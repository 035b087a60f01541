#include "lock/lock_test_support.h"
#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using koa::platform::MutexWait;

// Threads that create the same name at the same moment must all end up with one mutex.
TEST(NamedLock, SimultaneousCreatorsShareOneMutex) {
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
