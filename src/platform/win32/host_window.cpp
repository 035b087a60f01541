#include "platform/host_window.h"

#include <windows.h>

namespace koa::platform {
namespace {

struct Enumeration {
    bool (*visit)(void*, void*);
    void* context;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM enumeration) {
    const auto* e = reinterpret_cast<const Enumeration*>(enumeration);
    return e->visit(window, e->context) ? TRUE : FALSE;
}

HHOOK installedHook = nullptr;
WindowCallObserver hookObserver = nullptr;
void* hookContext = nullptr;

LRESULT CALLBACK CallWindowHook(int code, WPARAM sentByThread, LPARAM record) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(record);
    if (hookObserver != nullptr && message != nullptr)
        hookObserver(WindowCall{code, message->hwnd, message->message}, hookContext);
    return CallNextHookEx(installedHook, code, sentByThread, record);
}

} // namespace

void EnumerateTopLevelWindows(bool (*visit)(void*, void*), void* context) {
    Enumeration enumeration{visit, context};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&enumeration));
}

void* WindowParent(void* window) {
    return GetParent(static_cast<HWND>(window));
}

void* WindowInstance(void* window) {
#if defined(_WIN64)
    return reinterpret_cast<void*>(GetWindowLongPtrA(static_cast<HWND>(window), GWLP_HINSTANCE));
#else
    return reinterpret_cast<void*>(GetWindowLongA(static_cast<HWND>(window), GWL_HINSTANCE));
#endif
}

void WindowClassName(void* window, char* buffer, int size) {
    const int length = GetClassNameA(static_cast<HWND>(window), buffer, size);
    buffer[length > 0 && length < size ? length : 0] = '\0';
}

uint32_t WindowThread(void* window) {
    return GetWindowThreadProcessId(static_cast<HWND>(window), nullptr);
}

void* HookWindowCalls(uint32_t thread, WindowCallObserver observer, void* context) {
    hookObserver = observer;
    hookContext = context;
    installedHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWindowHook, nullptr, thread);
    return installedHook;
}

void UnhookWindowCalls(void* hook) {
    UnhookWindowsHookEx(static_cast<HHOOK>(hook));
    if (hook == installedHook) {
        installedHook = nullptr;
        hookObserver = nullptr;
    }
}

} // namespace koa::platform
