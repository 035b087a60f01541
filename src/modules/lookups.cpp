#include "modules/module_handles.h"

#include "platform/host.h"

namespace {

LibraryFunction Lookup(void* module, const char* name) {
    return reinterpret_cast<LibraryFunction>(koa::platform::FindExport(module, name));
}

} // namespace

LibraryFunction GetControllerFunctionAddress(ErrorCluster* err, const char* name) {
    if (err->Status())
        return nullptr;
    if (controllerLibrary == nullptr) {
        err->SetError(15, "Controller DLL Not Loaded");
        return nullptr;
    }
    const LibraryFunction function = Lookup(controllerLibrary, name);
    if (function == nullptr)
        err->SetError(12, "Controller Function '%s' Not Found in DLL", name);
    return function;
}

LibraryFunction GetDeviceFunctionAddress(ErrorCluster* err, const char* name) {
    if (err->Status())
        return nullptr;
    if (deviceLibrary == nullptr) {
        err->SetError(15, "Device DLL Not Loaded");
        return nullptr;
    }
    const LibraryFunction function = Lookup(deviceLibrary, name);
    if (function == nullptr)
        err->SetError(12, "Device Function '%s' Not Found in Device DLL", name);
    return function;
}

void* DebugTools(ErrorCluster* err) {
    return err == nullptr || !err->Status() ? controllerObject : nullptr;
}
