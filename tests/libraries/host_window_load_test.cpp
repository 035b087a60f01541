#include "support/resource_file.h"
#include "support/scratch_dir.h"

#include <windows.h>

namespace {

using Lines = std::vector<std::string>;

// An owned window is a popup: GetParent names the owner of popups only.
HWND MakeWindow(const char* className, HWND owner = nullptr) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, "", owner ? WS_POPUP : WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The library is loaded, as LabVIEW loads it, into a process whose frame window exists; the
// controller and device libraries come in through its loaders. The fixture libraries beside this
// program (tests/fixtures) log their calls.
TEST(HostWindowLoad, DestroyingTheFrameWindowRunsTheExitsOnceDeviceFirst) {
    char path[MAX_PATH] = {};
    std::string dir(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    dir.erase(dir.find_last_of('\\') + 1);
    const std::string fixtures = dir + "fixtures\\", log = dir + "window_calls.log";
    WriteResourceFile({{1, fixtures}, {2, "F"}, {3, "P"}, {4, "L"}, {5, "V"}, {100, fixtures}},
                      dir);
    LogFixtureCallsTo(log);
    HWND frame = MakeWindow("LVFrame"), owned = MakeWindow("LVFrame", frame);
    ASSERT_TRUE(frame && owned);
    HMODULE caller = LoadLibraryA((dir + "koa_dev_window_caller.dll").c_str());
    ASSERT_NE(caller, nullptr);
    const auto load = reinterpret_cast<int (*)(const char*, const char*)>(
        reinterpret_cast<void*>(GetProcAddress(caller, "LoadLibraries")));
    ASSERT_NE(load, nullptr);
    ASSERT_EQ(load("ctrl_full.dll|port", "dev_full.dll|COM1"), 0);
    TakeLines(log);

    DestroyWindow(owned);
    EXPECT_EQ(TakeLines(log), Lines{});
    DestroyWindow(frame);
    EXPECT_EQ(TakeLines(log), (Lines{"dev_full: LibraryExit()", "ctrl_full: ControllerExit()"}));

    // The libraries stayed loaded: the next load calls their exits again as it releases them.
    EXPECT_NE(load("absent.dll", ""), 0);
    EXPECT_EQ(TakeLines(log), (Lines{"dev_full: LibraryExit()", "dev_full: unloaded()",
                                     "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"}));
    RemoveResourceFile(dir);

    // Unloaded, the library leaves no hook behind to run released code.
    FreeLibrary(caller);
    ASSERT_EQ(GetModuleHandleA(KOA_DEV_LIBRARY_NAME), nullptr);
    HWND later = MakeWindow("LVFrame");
    ASSERT_NE(later, nullptr);
    SendMessageA(later, WM_DESTROY, 0, 0);
    EXPECT_TRUE(DestroyWindow(later));
}

} // namespace
