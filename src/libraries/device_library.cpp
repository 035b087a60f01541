#include "libraries/loaders.h"
#include "modules/module_handles.h"

#include "config/paths.h"
#include "core/guarded.h"
#include "platform/modules.h"

#include <koa_dev/configuration.h>

#include <cstdint>

namespace {

using Initialize = void (*)(ErrorCluster*, TString*, TString, int32_t);
using IdentifyExport = void (*)(ErrorCluster*, TString*);

TString LoadDevice(ErrorCluster* err, const TString& name) {
    if (err->Status())
        return TString();
    UnloadDeviceLibrary(err);
    if (name.Length() == 0)
        return TString();
    if (controllerLibrary == nullptr) {
        err->SetError(14, "Load Device Library - Can not load Device Library without Controller "
                          "Library Already Loaded");
        return TString();
    }
    TString parameters;
    const TString fileName = SplitLibrarySpec(name, &parameters);
    const TString path = LocalDllPath(nullptr) + fileName;
    if (err->Status())
        return TString(); // a path that came out short must not be loaded
    deviceLibrary = koa::platform::LoadLibraryModule(path);
    if (deviceLibrary == nullptr) {
        err->SetError(14, "Error Loading Device Library '%s'", fileName.CStr());
        return TString();
    }
    TString result;
    if (const LibraryFunction init = GetDeviceFunctionAddress(err, "LibraryInitilize"))
        ExportAs<Initialize>(init)(err, &result, parameters, 0);
    if (err->Status()) {
        koa::platform::ReleaseModule(deviceLibrary);
        deviceLibrary = nullptr;
    }
    return result;
}

TString Identify(ErrorCluster* err) {
    TString id;
    if (err->Status())
        return id;
    if (const LibraryFunction identify = GetControllerFunctionAddress(err, "ID_Device")) {
        ExportAs<IdentifyExport>(identify)(err, &id);
        if (err->Status()) {
            err->ResetStatus();
            err->SetError(-1236, "Unable to Identify Device");
        }
    }
    return id;
}

} // namespace

TString LoadDeviceLibrary(ErrorCluster* err, const TString& name) {
    return koa::Guarded(err, [&] { return LoadDevice(err, name); });
}

TString ID_Device(ErrorCluster* err) {
    return koa::Guarded(err, [err] { return Identify(err); });
}
