#pragma once

#include <cstdint>

// The windows of the host process's desktop, and a hook on the calls of the window procedures of
// one thread. On Linux there are no such windows: the enumeration finds none and no hook installs.

namespace koa::platform {

// Visits the top-level windows (EnumWindows) until visit returns false.
void EnumerateTopLevelWindows(bool (*visit)(void* window, void* context), void* context);

// The window's parent or owner (GetParent), or null.
void* WindowParent(void* window);

// The module instance the window was created with (GetWindowLong(Ptr)A, GWL(P)_HINSTANCE).
void* WindowInstance(void* window);

// Copies the window's class name (GetClassNameA) into buffer, at most size - 1 characters,
// terminated.
void WindowClassName(void* window, char* buffer, int size);

// The thread that created the window (GetWindowThreadProcessId); 0 for none.
uint32_t WindowThread(void* window);

// A call of a window procedure as the hook sees it: the hook code, the target window and the
// message number.
struct WindowCall {
    int code;
    void* window;
    uint32_t message;
};
using WindowCallObserver = void (*)(const WindowCall& call, void* context);

// Installs a call-window-procedure hook (WH_CALLWNDPROC) on thread: observer sees each call
// before it is passed on to the next hook (CallNextHookEx). Null when it cannot be installed.
// The process has at most one such hook at a time.
void* HookWindowCalls(uint32_t thread, WindowCallObserver observer, void* context);

// Removes a hook that HookWindowCalls installed (UnhookWindowsHookEx).
void UnhookWindowCalls(void* hook);

} // namespace koa::platform
