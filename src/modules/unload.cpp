#include "modules/module_handles.h"

#include "platform/modules.h"

namespace {

// Exit functions report nothing: their lookup uses a cluster of its own.
void CallExit(LibraryFunction (*lookup)(ErrorCluster*, const char*), const char* name) {
    ErrorCluster own;
    if (const LibraryFunction exit = lookup(&own, name))
        exit();
}

} // namespace

void UnloadDeviceLibrary(ErrorCluster* err) {
    if (err->Status() || deviceLibrary == nullptr)
        return;
    CallExit(GetDeviceFunctionAddress, "LibraryExit");
    koa::platform::ReleaseModule(deviceLibrary);
    deviceLibrary = nullptr;
}

void UnloadControllerLibrary(ErrorCluster* err) {
    if (err->Status())
        return;
    UnloadDeviceLibrary(err);
    if (controllerLibrary == nullptr)
        return;
    CallExit(GetControllerFunctionAddress, "ControllerExit");
    koa::platform::ReleaseModule(controllerLibrary);
    controllerLibrary = nullptr;
    controllerObject = nullptr;
}
