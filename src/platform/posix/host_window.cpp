#include "platform/host_window.h"

// Linux has no LabVIEW frame window: there is nothing to enumerate and nothing to hook.

namespace koa::platform {

void EnumerateTopLevelWindows(bool (*)(void*, void*), void*) {}

void* WindowParent(void*) {
    return nullptr;
}

void* WindowInstance(void*) {
    return nullptr;
}

void WindowClassName(void*, char* buffer, int size) {
    if (size > 0)
        buffer[0] = '\0';
}

uint32_t WindowThread(void*) {
    return 0;
}

void* HookWindowCalls(uint32_t, WindowCallObserver, void*) {
    return nullptr;
}

void UnhookWindowCalls(void*) {}

} // namespace koa::platform
