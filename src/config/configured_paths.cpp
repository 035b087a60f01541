#include "config/configuration.h"
#include "config/paths.h"
#include "core/guarded.h"

namespace {

TString Get(ErrorCluster* err, CommonDllResourceFile::Field field, const char* getter) {
    if (err != nullptr && err->Status())
        return TString();
    const TString& value = commonDllResourceFile.Read(field);
    if (err != nullptr && value.CStr()[0] == '<')
        err->SetError(15, "%s Resource not Found", getter);
    return value;
}

TString Guarded(ErrorCluster* err, CommonDllResourceFile::Field field, const char* getter) {
    return koa::Guarded(err, [&] { return Get(err, field, getter); });
}

} // namespace

void ReloadCommonDllResourceFile(ErrorCluster* err) {
    koa::Guarded(err, [err] {
        if (!err->Status())
            commonDllResourceFile.Load(err);
    });
}

TString ReleasedDllPath(ErrorCluster* err) {
    return Guarded(err, &CommonDllResourceFile::releasedDllPath, "ReleasedDllPath");
}

TString FirmwarePath(ErrorCluster* err) {
    return Guarded(err, &CommonDllResourceFile::firmwarePath, "FirmwarePath");
}

TString ProfilePath(ErrorCluster* err) {
    return Guarded(err, &CommonDllResourceFile::profilePath, "ProfilePath");
}

TString ControllerListFile(ErrorCluster* err) {
    return Guarded(err, &CommonDllResourceFile::controllerListFile, "ControllerListFile");
}

TString RevisionCheckFile(ErrorCluster* err) {
    return Guarded(err, &CommonDllResourceFile::revisionCheckFile, "RevisionCheckFile");
}

TString LocalDllPath(ErrorCluster* err) {
    return Guarded(err, &CommonDllResourceFile::localDllPath, "LocalDllPath");
}

namespace {

// Without a configured menu directory, the directory of the revision check file.
TString Menu(ErrorCluster* err) {
    if (err != nullptr && err->Status())
        return TString();
    const TString& menu = commonDllResourceFile.Read(&CommonDllResourceFile::menuPath);
    if (!menu.IsEmpty())
        return menu;
    const TString revisionFile = RevisionCheckFile(nullptr);
    if (revisionFile.CStr()[0] != '<')
        return RemoveFileNameFromPath(revisionFile);
    if (err != nullptr)
        err->SetError(15, "MenuPath Resource not Found");
    return revisionFile;
}

} // namespace

TString MenuPath(ErrorCluster* err) {
    return koa::Guarded(err, [err] { return Menu(err); });
}
