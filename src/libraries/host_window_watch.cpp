#include "libraries/host_window_watch.h"

#include "core/guarded.h"
#include "modules/module_handles.h"
#include "platform/host.h"

#include <koa_dev/resource_lock.h>

#include <cctype>

bool hostExitDone = false;

namespace {

constexpr uint32_t kDestroyMessage = 2;
constexpr int kClassNameBuffer = 20;

bool SameTextIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

void CallExit(LibraryFunction (*lookup)(ErrorCluster*, const char*), ErrorCluster* err,
              const char* name) {
    if (const LibraryFunction exit = lookup(err, name))
        exit();
}

// Runs inside the host's window procedure, where nothing may be thrown.
void ObserveCall(const koa::platform::WindowCall& call, void* watch) {
    koa::Guarded(nullptr, [&] {
        static_cast<HostWindowWatch*>(watch)->OnWindowCall(call.code, call.window, call.message);
    });
}

} // namespace

const HostWindowSystem& PlatformWindowSystem() {
    namespace p = koa::platform;
    static const HostWindowSystem system = {
        p::EnumerateTopLevelWindows, p::WindowParent, p::WindowInstance,
        p::WindowClassName,          p::WindowThread, p::HookWindowCalls,
        p::UnhookWindowCalls};
    return system;
}

HostWindowWatch::HostWindowWatch(const HostWindowSystem& system) : system(system) {
    system.enumerate(FindHostFrameWindow, this);
    threadId = frameWindow != nullptr ? system.thread(frameWindow) : 0;
    hook = threadId != 0 ? system.hook(threadId, ObserveCall, this) : nullptr;
}

HostWindowWatch::~HostWindowWatch() {
    if (hook != nullptr)
        system.unhook(hook);
}

bool HostWindowWatch::FindHostFrameWindow(void* window, void* watch) {
    static void* const executable = koa::platform::HostModule();
    auto* self = static_cast<HostWindowWatch*>(watch);
    if (self->system.parent(window) != nullptr || self->system.instance(window) != executable)
        return true;
    char className[kClassNameBuffer];
    self->system.className(window, className, kClassNameBuffer);
    className[kClassNameBuffer - 1] = '\0';
    if (!SameTextIgnoringCase(className, "LVFrame"))
        return true;
    self->frameWindow = window;
    return false;
}

void HostWindowWatch::OnWindowCall(int code, void* window, uint32_t message) {
    if (code < 0 || window != frameWindow || frameWindow == nullptr || message != kDestroyMessage ||
        hostExitDone)
        return;
    ErrorCluster own;
    ResourceLock lock(&own, true);
    hostExitDone = !own.Status();
    if (!hostExitDone)
        return;
    if (deviceLibrary != nullptr)
        CallExit(GetDeviceFunctionAddress, &own, "LibraryExit");
    own.ResetAll();
    if (controllerLibrary != nullptr)
        CallExit(GetControllerFunctionAddress, &own, "ControllerExit");
}
