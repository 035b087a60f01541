#include "modules/module_handles.h"

#include "platform/host.h"

namespace {

// The export name of the loaded library module; notLoaded and notFound are the failure texts of
// the kind of library asked (notFound takes the name).
LibraryFunction Lookup(ErrorCluster* err, void* module, const char* name, const char* notLoaded,
                       const char* notFound) {
    if (err->Status())
        return nullptr;
    if (module == nullptr) {
        err->SetError(15, "%s", notLoaded);
        return nullptr;
    }
    const auto function =
        reinterpret_cast<LibraryFunction>(koa::platform::FindExport(module, name));
    if (function == nullptr)
        err->SetError(12, notFound, name);
    return function;
}

} // namespace

LibraryFunction GetControllerFunctionAddress(ErrorCluster* err, const char* name) {
    return Lookup(err, controllerLibrary, name, "Controller DLL Not Loaded",
                  "Controller Function '%s' Not Found in DLL");
}

LibraryFunction GetDeviceFunctionAddress(ErrorCluster* err, const char* name) {
    return Lookup(err, deviceLibrary, name, "Device DLL Not Loaded",
                  "Device Function '%s' Not Found in Device DLL");
}

void* DebugTools(ErrorCluster* err) {
    return err == nullptr || !err->Status() ? controllerObject : nullptr;
}
