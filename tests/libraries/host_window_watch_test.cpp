#include "libraries/host_window_watch.h"
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "modules/module_handles.h"
#include "platform/host.h"
#include "platform/modules.h"
#include "platform/named_lock.h"
#include "support/scratch_dir.h"

#include <cstdio>
#include <tuple>

namespace {

// Stand-in windows for the watch's search: owned, of the executable's instance, class name and
// thread. Index + 1 is the window handle.
using FakeWindow = std::tuple<bool, bool, const char*, uint32_t>;

std::vector<FakeWindow> fakeWindows;
uint32_t hookedThread = 0;
std::vector<void*> unhooked;
bool hookFails = false;
char fakeHook;

const FakeWindow& Fake(void* window) {
    return fakeWindows.at(reinterpret_cast<uintptr_t>(window) - 1);
}

const HostWindowSystem fakeSystem = {
    [](bool (*visit)(void*, void*), void* context) {
        for (size_t i = 1; i <= fakeWindows.size() && visit(reinterpret_cast<void*>(i), context);)
            ++i;
    },
    [](void* w) { return std::get<0>(Fake(w)) ? reinterpret_cast<void*>(99) : nullptr; },
    [](void* w) { return std::get<1>(Fake(w)) ? koa::platform::HostModule() : &fakeHook; },
    [](void* w, char* buffer, int size) {
        std::snprintf(buffer, static_cast<size_t>(size), "%s", std::get<2>(Fake(w)));
    },
    [](void* w) { return std::get<3>(Fake(w)); },
    [](uint32_t thread, koa::platform::WindowCallObserver, void*) -> void* {
        hookedThread = thread;
        return hookFails ? nullptr : &fakeHook;
    },
    [](void* hook) { unhooked.push_back(hook); },
};

// Without a frame window no hook is installed; a hook that cannot be installed is not removed.
TEST(HostWindowWatch, TakesTheFirstTopLevelFrameOfTheExecutable) {
    const std::vector<FakeWindow> all = {
        {true, true, "LVFrame", 1},  {false, false, "LVFrame", 2},
        {false, true, "XVFrame", 3}, {false, true, "LVFrameLongerThanNineteen", 4},
        {false, true, "lvframe", 5}, {false, true, "LVFrame", 6}};
    fakeWindows = all;
    {
        HostWindowWatch watch(fakeSystem);
        EXPECT_EQ(watch.frameWindow, reinterpret_cast<void*>(5));
        EXPECT_EQ(hookedThread, 5u);
        EXPECT_TRUE(watch.Watching());
    }
    EXPECT_EQ(unhooked, std::vector<void*>{&fakeHook});
    for (bool fails : {false, true}) {
        fakeWindows.assign(all.begin(), all.begin() + (fails ? 6 : 4));
        hookFails = fails;
        hookedThread = 0;
        HostWindowWatch watch(fakeSystem);
        EXPECT_FALSE(watch.Watching());
        EXPECT_EQ(hookedThread, fails ? 5u : 0u);
    }
    hookFails = false;
    EXPECT_EQ(unhooked.size(), 1u);
#if !defined(_WIN32)
    // A bare name is looked for in the working directory only, never on the library path.
    EXPECT_EQ(koa::platform::LoadLibraryModule("libc.so.6"), nullptr);
    EXPECT_EQ(koa::platform::LoadLibraryModule(""), nullptr);
#endif
}

// The hook's decision, with fixture libraries (tests/fixtures) that log their calls.
class HostWindowExit : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        koa::ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    }
    void TearDown() override {
        for (const std::string& name : {mutexName, memName})
            koa::platform::RemoveNamedObject(name.c_str());
        ScratchDirTest::TearDown();
    }
    static void Load(void*& handle, const std::string& name) {
        const std::string path = Host() + "fixtures" KOA_TEST_SEPARATOR + name + KOA_FIXTURE_SUFFIX;
        handle = koa::platform::LoadLibraryModule(path.c_str());
        ASSERT_NE(handle, nullptr) << path;
    }
    const std::string mutexName = UniqueLockName("mutex"), memName = UniqueLockName("mem");
};

// Only the frame window's destruction runs the exits, once, and only those that exist; without
// the lock nothing runs. The libraries stay loaded. Unloading reports no missing exit, and with
// an error in the cluster unloads nothing.
TEST_F(HostWindowExit, DestroyOfTheFrameRunsTheExitsThatExistOnce) {
    const std::vector<std::string> full = {"dev_full: LibraryExit()",
                                           "ctrl_full: ControllerExit()"};
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"dev_full", full}, {"dev_minimal", {full[1]}}, {"", {full[1]}}, {"no lock", {}}};
    fakeWindows = {{false, true, "LVFrame", 1}};
    for (const auto& [device, exits] : cases) {
        SCOPED_TRACE(device);
        HostWindowWatch watch(fakeSystem);
        hostExitDone = false;
        Load(controllerLibrary, "ctrl_full");
        if (device == "no lock")
            koa::ResourceLockAccess::ForgetMutex();
        else if (!device.empty())
            Load(deviceLibrary, device);
        watch.OnWindowCall(-1, watch.frameWindow, 2);
        watch.OnWindowCall(0, reinterpret_cast<void*>(7), 2);
        watch.OnWindowCall(0, watch.frameWindow, 0x10);
        EXPECT_TRUE(TakeLog().empty());
        watch.OnWindowCall(0, watch.frameWindow, 2);
        watch.OnWindowCall(1, watch.frameWindow, 2);
        EXPECT_EQ(TakeLog(), exits);
        EXPECT_EQ(hostExitDone, !exits.empty());
        EXPECT_EQ(LockOnce(), !exits.empty()) << "the lock is released";

        controllerObject = &controllerLibrary;
        ErrorCluster failed(true, 99, "earlier"), clean;
        UnloadDeviceLibrary(&failed);
        UnloadControllerLibrary(&failed);
        EXPECT_TRUE(TakeLog().empty());
        UnloadControllerLibrary(&clean);
        TakeLog();
        EXPECT_FALSE(clean.Status());
        EXPECT_TRUE(controllerLibrary == nullptr && deviceLibrary == nullptr &&
                    controllerObject == nullptr);
    }
    hostExitDone = false;
}

} // namespace
