#include "libraries/host_window_watch.h"
#include "libraries/module_handles.h"
#include "support/scratch_dir.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND MakeWindow(const char* className, HWND owner) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    // An owned window is a popup: GetParent names the owner of popups only.
    const DWORD style = owner != nullptr ? WS_POPUP : WS_OVERLAPPEDWINDOW;
    return CreateWindowExA(0, className, "", style, 0, 0, 100, 100, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class HostWindowHook : public ScratchDirTest {};

// Real windows and the real hook: the owned frame and the other class are passed over, and
// destroying the frame calls both exits once.
TEST_F(HostWindowHook, DestroyingTheFrameWindowCallsTheExitsOnce) {
    const std::string log = Dir() + "log";
    _putenv_s("KOA_DEV_FIXTURE_LOG", log.c_str());
    HWND other = MakeWindow("LVOther", nullptr);
    HWND frame = MakeWindow("LVFrame", nullptr);
    HWND owned = MakeWindow("LVFrame", frame);
    ASSERT_TRUE(other && frame && owned);
    const std::string fixtures = Host() + "fixtures\\";
    controllerLibrary = LoadLibraryA((fixtures + "ctrl_full.dll").c_str());
    deviceLibrary = LoadLibraryA((fixtures + "dev_full.dll").c_str());
    ASSERT_NE(controllerLibrary, nullptr);
    ASSERT_NE(deviceLibrary, nullptr);

    hostExitDone = false;
    {
        HostWindowWatch watch;
        EXPECT_EQ(watch.frameWindow, frame);
        EXPECT_EQ(watch.threadId, GetCurrentThreadId());
        ASSERT_TRUE(watch.Watching());
        DestroyWindow(other);
        DestroyWindow(owned);
        SendMessageA(frame, WM_DESTROY, 0, 0);
        DestroyWindow(frame);
    }
    ErrorCluster clean;
    UnloadControllerLibrary(&clean);

    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"dev_full: LibraryExit()", "ctrl_full: ControllerExit()",
                                        "dev_full: LibraryExit()", "dev_full: unloaded()",
                                        "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"}));
    hostExitDone = false;
}

} // namespace
