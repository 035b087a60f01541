#include "libraries/loaders.h"
#include "modules/module_handles.h"

#include "config/paths.h"
#include "core/guarded.h"
#include "platform/modules.h"
#include "version/verification.h"

#include <koa_dev/configuration.h>
#include <koa_dev/version.h>

#include <cstdint>

namespace {

using VerifyConnected = void (*)(ErrorCluster*, TString, int32_t);
using ObjectPointer = void* (*)(ErrorCluster*, TString);

// Copies the released library into the local directory when only the released one exists.
void RefreshLocalCopy(ErrorCluster* err, const TString& fileName) {
    if (DoesFileExists(LocalDllPath(nullptr) + fileName))
        return;
    if (DoesFileExists(ReleasedDllPath(nullptr) + fileName))
        UpdateLocalDLL(err, fileName);
}

void TryController(ErrorCluster* err, const TString& spec) {
    TString parameters;
    const TString fileName = SplitLibrarySpec(spec, &parameters);
    RefreshLocalCopy(err, fileName);
    SwitchControllerLibrary(err, fileName, parameters);
}

// Tries the entries of the controller list file in order; false when none connected.
bool ConnectFromList(ErrorCluster* err) {
    const TStringArray list = ReadControllerList(err);
    if (err->Status())
        return false;
    // An empty list still makes one attempt, with an empty entry: it only unloads.
    int i = 0;
    do {
        err->ResetAll();
        TryController(err, list[i]);
    } while (++i < list.GetSize() && err->Status());
    if (!err->Status())
        return true;
    err->ResetAll();
    err->SetError(-1223, "Unable to Communicate with Controller");
    return false;
}

void ReleaseController() {
    koa::platform::ReleaseModule(controllerLibrary);
    controllerLibrary = nullptr;
    controllerObject = nullptr;
}

} // namespace

void SwitchControllerLibrary(ErrorCluster* err, const TString& fileName, const char* parameters) {
    if (err->Status())
        return;
    UnloadControllerLibrary(err);
    if (fileName.IsEmpty())
        return;
    const TString path = LocalDllPath(nullptr) + RemovePathFromFileName(fileName);
    if (err->Status())
        return; // a path that came out short must not be loaded
    controllerLibrary = koa::platform::LoadLibraryModule(path);
    if (controllerLibrary == nullptr) {
        err->SetError(14, "Error Loading Controller Library '%s'", fileName.CStr());
        return;
    }
    if (const LibraryFunction verify =
            GetControllerFunctionAddress(err, "VerifyControllerConnected"))
        ExportAs<VerifyConnected>(verify)(err, TString(parameters), 0);
    if (!err->Status()) {
        ErrorCluster own;
        if (const LibraryFunction object =
                GetControllerFunctionAddress(&own, "ControllerObjectPointer"))
            controllerObject = ExportAs<ObjectPointer>(object)(&own, TString("DebugTools"));
    }
    if (err->Status() && controllerLibrary != nullptr)
        ReleaseController();
}

namespace {

TString LoadController(ErrorCluster* err, const TString& name) {
    if (err->Status())
        return TString();
    if (name.Length() != 0) {
        TryController(err, name);
        if (err->Status())
            return TString();
    } else if (!ConnectFromList(err)) {
        return TString();
    }
    return VerifyControllerDllVersion(err);
}

} // namespace

TString LoadControllerLibrary(ErrorCluster* err, TString name) {
    return koa::Guarded(err, [&] { return LoadController(err, name); });
}
