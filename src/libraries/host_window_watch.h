#pragma once

#include "platform/host_window.h"

#include <cstdint>

// The window functions the watch uses: the platform's, or a test's stand-ins.
struct HostWindowSystem {
    void (*enumerate)(bool (*visit)(void*, void*), void* context);
    void* (*parent)(void* window);
    void* (*instance)(void* window);
    void (*className)(void* window, char* buffer, int size);
    uint32_t (*thread)(void* window);
    void* (*hook)(uint32_t thread, koa::platform::WindowCallObserver observer, void* context);
    void (*unhook)(void* hook);
};

const HostWindowSystem& PlatformWindowSystem();

// Watches the host's LabVIEW frame window, found once at start-up: when it is destroyed, the
// loaded device and controller libraries' exit functions run, once, under the cross-process lock.
// Without a frame window, or when the hook cannot be installed, it never does anything.
class HostWindowWatch {
  public:
    explicit HostWindowWatch(const HostWindowSystem& system = PlatformWindowSystem());
    ~HostWindowWatch();
    HostWindowWatch(const HostWindowWatch&) = delete;
    HostWindowWatch& operator=(const HostWindowWatch&) = delete;

    bool Watching() const { return hook != nullptr; }

    // EnumWindows callback: true to go on to the next window.
    static bool FindHostFrameWindow(void* window, void* watch);

    // A call seen by the hook, before it is passed on.
    void OnWindowCall(int code, void* window, uint32_t message);

    void* frameWindow = nullptr;
    void* hook = nullptr;
    uint32_t threadId = 0;

  private:
    const HostWindowSystem& system;
};

// Set once the exit functions have run under the lock; they run at most once per process.
extern bool hostExitDone;

// The library's own watch (defined with the library's other process-wide objects).
extern HostWindowWatch hostWindowWatch;
