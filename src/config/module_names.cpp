#include <koa_dev/paths.h>

#include "core/guarded.h"
#include "modules/module_handles.h"
#include "platform/modules.h"

namespace {

// Module file names are fetched as Windows does, into a buffer of its path limit.
constexpr size_t kModuleNameBuffer = 260;

TString ModuleName(void* module, bool fullPath) {
    return koa::Guarded(nullptr, [module, fullPath] {
        char buffer[kModuleNameBuffer];
        const size_t n = koa::platform::ModuleFileName(module, buffer, sizeof buffer);
        const TString name(buffer, static_cast<unsigned int>(n));
        return fullPath ? name : RemovePathFromFileName(name);
    });
}

} // namespace

TString LabVIEW_FilePath() {
    return RemoveFileNameFromPath(ModuleName(nullptr, true));
}

TString CommonDLL_FileName(bool fullPath) {
    return ModuleName(moduleHandle, fullPath);
}

TString ControllerDLL_FileName(bool fullPath) {
    return controllerLibrary != nullptr ? ModuleName(controllerLibrary, fullPath) : TString();
}

TString DeviceDLL_FileName(bool fullPath) {
    return deviceLibrary != nullptr ? ModuleName(deviceLibrary, fullPath) : TString();
}
