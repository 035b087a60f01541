#include <koa_dev/configuration.h>
#include <koa_dev/paths.h>
#include <koa_dev/version.h>

#include "config/paths.h"
#include "core/guarded.h"
#include "modules/module_handles.h"
#include "platform/file_copy.h"
#include "version/file_version_info.h"

#include <cctype>

namespace {

// Never true for an empty loaded name.
bool SameFileName(const TString& name, const TString& loaded) {
    if (loaded.IsEmpty() || name.Length() != loaded.Length())
        return false;
    for (unsigned i = 0; i < name.Length(); ++i)
        if (std::tolower(static_cast<unsigned char>(name.CStr()[i])) !=
            std::tolower(static_cast<unsigned char>(loaded.CStr()[i])))
            return false;
    return true;
}

void Update(ErrorCluster* err, TString name) {
    if (err->Status())
        return;
    name = SplitLibrarySpec(name, nullptr);
    const TString local = LocalDllPath(nullptr) + name;
    const TString released = ReleasedDllPath(nullptr) + name;
    if (err->Status())
        return; // paths that came out short are neither read nor written
    if (!FileVersionInfo(released.CStr()).valid) {
        err->SetError(13, "DLL '%s' was Not Found or is Invalid\n", name.CStr());
        return;
    }
    if (SameFileName(name, ControllerDLL_FileName(false)))
        UnloadControllerLibrary(err);
    else if (SameFileName(name, DeviceDLL_FileName(false)))
        UnloadDeviceLibrary(err);
    koa::platform::SetNormalFileAttributes(local.CStr());
    if (!koa::platform::CopyFileOver(released.CStr(), local.CStr()))
        err->SetError(14, "Unable to Update Local DLL '%s'\n", name.CStr());
}

} // namespace

void UpdateLocalDLL(ErrorCluster* err, TString name) {
    koa::Guarded(err, [&] { Update(err, name); });
}
