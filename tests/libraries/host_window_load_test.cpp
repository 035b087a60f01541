#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

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

// The owner stamp in the library's shared block: who took its lock last.
uint32_t LockStamp() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "KOA_DEV Mem");
    if (mapping == nullptr)
        return 0;
    uint32_t stamp = 0;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 16)) {
        std::memcpy(&stamp, view, sizeof stamp);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return stamp;
}

// The library finds the frame window that exists when it is loaded: its destruction takes the
// library's lock from the window thread. Unloading removes the hook, so later messages on the
// thread do not reach the released code.
TEST(HostWindowLoad, TheLibraryWatchesTheFrameWindowUntilItIsUnloaded) {
    HWND other = MakeWindow("LVOther", nullptr);
    HWND frame = MakeWindow("LVFrame", nullptr);
    HWND owned = MakeWindow("lvframe", frame);
    ASSERT_TRUE(other && frame && owned);
    HMODULE library = LoadLibraryExA(KOA_DEV_LIBRARY_FILE, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(library, nullptr) << KOA_DEV_LIBRARY_FILE;
    const auto ownStamp = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(library));

    DestroyWindow(other);
    DestroyWindow(owned);
    EXPECT_NE(LockStamp(), ownStamp);
    DestroyWindow(frame);
    EXPECT_EQ(LockStamp(), ownStamp);

    FreeLibrary(library);
    HWND later = MakeWindow("LVFrame", nullptr);
    ASSERT_NE(later, nullptr);
    SendMessageA(later, WM_DESTROY, 0, 0);
    EXPECT_TRUE(DestroyWindow(later));
}

} // namespace
