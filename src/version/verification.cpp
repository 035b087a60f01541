#include "version/verification.h"

#include <koa_dev/configuration.h>
#include <koa_dev/paths.h>
#include <koa_dev/version.h>

#include "config/configuration.h"
#include "config/paths.h"
#include "core/guarded.h"
#include "modules/module_handles.h"
#include "version/file_version_info.h"

#include <cstdarg>

namespace {

// The released copy of this library; the texts name it 'koa_dev.dll' on every system.
#if defined(_WIN32)
const char kCommonReleasedName[] = "koa_dev.dll";
#else
const char kCommonReleasedName[] = "libkoa_dev.so";
#endif

constexpr uint32_t kAnyBuildKind =
    FileVersionInfo::kPreRelease | FileVersionInfo::kPrivateBuild | FileVersionInfo::kSpecialBuild;

TString Formatted(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

TString Formatted(const char* format, ...) {
    va_list args;
    va_start(args, format);
    TString text;
    text.vFormat(format, args);
    va_end(args);
    return text;
}

// The controller and device checks, which differ only in the kind of library they name.
TString VerifyLibrary(ErrorCluster* err, const char* kind, const TString& name,
                      const FileVersionInfo& local, const FileVersionInfo& released,
                      const char* localKind) {
    const char* n = name.CStr();
    if (!local.valid) {
        err->SetError(15, "Unable to read Local %sLibrary Version Information for '%s'\n",
                      localKind, n);
        return TString();
    }
    const TString version = local.StringValue("FileVersion");
    const TString flags = local.BuildFlagsText(true);
    if (!released.valid) {
        err->SetWarning(1, "Unable to Verify Version of %s '%s", kind, n);
        return Formatted("Warning!!!     Unable to Verify Version of %s '%s'\n\nReleased Library "
                         "Version = 'Unknown'\nLocal Library Version = '%s' %s",
                         kind, n, version.CStr(), flags.CStr());
    }
    if (local.fileVersion != released.fileVersion) {
        err->SetWarning(2, "%s '%s' Version Conflict!", kind, n);
        const char* pre = (released.fileFlags & FileVersionInfo::kPreRelease) ? "Pre-" : "";
        return Formatted("Warning!!!     %s '%s'  Version Conflict!\n\n%sReleased Library Version "
                         "= '%s'\nLocal Library Version = '%s' %s",
                         kind, n, pre, released.StringValue("FileVersion").CStr(), version.CStr(),
                         flags.CStr());
    }
    if (local.fileFlags & (FileVersionInfo::kPrivateBuild | FileVersionInfo::kSpecialBuild)) {
        const TString kindText = local.BuildFlagsText(false);
        err->SetWarning(4, "%s '%s' is a %s Version!", kind, n, kindText.CStr());
        return Formatted("Warning!!!    %s '%s' is a %s Version!", kind, n, kindText.CStr());
    }
    if (local.fileFlags & FileVersionInfo::kPreRelease) {
        err->SetWarning(3, "%s '%s' is a Pre-Release Version!", kind, n);
        return Formatted("Warning!!!    %s '%s' is a Pre-Release Version!", kind, n);
    }
    return TString();
}

// The description of a loaded library followed by the text its version callback gives.
TString LoadedLibraryInfo(const TString& file, const char* callback,
                          LibraryFunction (*lookup)(ErrorCluster*, const char*)) {
    TString text = FileVersionInfo(file.CStr()).Description();
    ErrorCluster own;
    if (LibraryFunction function = lookup(&own, callback)) {
        TString info;
        ExportAs<void (*)(TString*)>(function)(&info);
        text += info;
    }
    return text;
}

TString VerifyCommon(ErrorCluster* err) {
    if (err->Status())
        return TString();
    const TString localPath = CommonDLL_FileName(true);
    const TString releasedPath = ReleasedDllPath(nullptr) + kCommonReleasedName;
    if (err->Status())
        return TString(); // paths that came out short are not read
    const FileVersionInfo local(localPath.CStr());
    const FileVersionInfo released(releasedPath.CStr());
    if (!local.valid) {
        err->SetError(15, "Unable to read Library Version Information from '%s'\n",
                      localPath.CStr());
        return TString();
    }
    const TString version = local.StringValue("FileVersion");
    const TString flags = local.BuildFlagsText(true);
    if (!released.valid) {
        err->SetWarning(1, "Unable to Verify Version of 'koa_dev.dll'");
        return Formatted("Warning!!!     Unable to Verify Version of 'koa_dev.dll'\n\nReleased "
                         "Library Version = 'Unknown'\nLocal Library Version = '%s' %s",
                         version.CStr(), flags.CStr());
    }
    if (local.fileVersion != released.fileVersion) {
        err->SetWarning(2, "Common Device DLL 'koa_dev.dll' Version Conflict!");
        return Formatted("Warning!!!     'koa_dev.dll'  Version Conflict!\n\nReleased Library "
                         "Version = '%s'\nLocal Library Version = '%s' %s",
                         released.StringValue("FileVersion").CStr(), version.CStr(), flags.CStr());
    }
    if (local.fileFlags & kAnyBuildKind) {
        const TString kind = local.BuildFlagsText(false);
        err->SetWarning(3, "Common Device DLL 'koa_dev.dll' is a %s Version", kind.CStr());
        return Formatted("Warning!!!    Common Device DLL 'koa_dev.dll' is a %s Version",
                         kind.CStr());
    }
    return TString();
}

} // namespace

TString VerifyCommonDeviceDllVersion(ErrorCluster* err) {
    return koa::Guarded(err, [err] { return VerifyCommon(err); });
}

TString VerifyControllerDllVersion(ErrorCluster* err) {
    if (err->Status())
        return TString();
    if (controllerLibrary == nullptr) {
        err->SetError(15, "Verify Controller DLL Version - No Controller DLL is Loaded");
        return TString();
    }
    const TString name = ControllerDLL_FileName(false);
    const TString localPath = ControllerDLL_FileName(true);
    const TString releasedPath = ReleasedDllPath(nullptr) + name;
    if (err->Status())
        return TString(); // paths that came out short are not read
    const FileVersionInfo local(localPath.CStr());
    const FileVersionInfo released(releasedPath.CStr());
    return VerifyLibrary(err, "Controller Library", name, local, released, "Controller ");
}

namespace {

TString VerifyDevice(ErrorCluster* err, TString name) {
    if (err->Status())
        return TString();
    name = SplitLibrarySpec(name, nullptr);
    const TString localPath = LocalDllPath(nullptr) + name;
    const TString releasedPath = ReleasedDllPath(nullptr) + name;
    if (err->Status())
        return TString(); // paths that came out short are not read
    const bool localExists = DoesFileExists(localPath);
    if (!localExists && !DoesFileExists(releasedPath)) {
        err->SetError(13, "Device Library '%s' Not Available", name.CStr());
        return TString();
    }
    if (!localExists)
        UpdateLocalDLL(err, name);
    const FileVersionInfo local(localPath.CStr());
    const FileVersionInfo released(releasedPath.CStr());
    return VerifyLibrary(err, "Device Specific Library", name, local, released, "");
}

TString VersionInfo(ErrorCluster* err) {
    if (err->Status())
        return TString();
    TString text = FileVersionInfo(CommonDLL_FileName(true).CStr()).Description();
    if (controllerLibrary != nullptr)
        text += LoadedLibraryInfo(ControllerDLL_FileName(true), "ControllerVersionInfo",
                                  GetControllerFunctionAddress);
    if (deviceLibrary != nullptr)
        text += LoadedLibraryInfo(DeviceDLL_FileName(true), "DeviceSpecificVersionInfo",
                                  GetDeviceFunctionAddress);
    return text + commonDllResourceFile.FormattedPathInfo();
}

} // namespace

TString VerifyDeviceSpecificDllVersion(ErrorCluster* err, TString name) {
    return koa::Guarded(err, [&] { return VerifyDevice(err, name); });
}

TString FormattedVersionInfo(ErrorCluster* err) {
    return koa::Guarded(err, [err] { return VersionInfo(err); });
}
