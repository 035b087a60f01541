#include "config/configuration.h"

#include "config/paths.h"
#include "core/guarded.h"
#include "platform/files.h"
#include "platform/string_resources.h"

#include <array>
#include <cstring>

namespace {

const char kFileName[] = "koa_dev.rsc";
const char kUnknown[] = "<Unknown>";
// Strings are fetched as LoadStringA fetches them, into a buffer of the Windows path limit.
constexpr int kStringBuffer = 260;

// IDs below 100 are required; IDs below 101 read "<Unknown>" until a value is found.
struct Key {
    unsigned int id;
    const char* name;
    CommonDllResourceFile::Field field;
};

using KeyTable = std::array<Key, 7>;

const KeyTable& Keys() {
    static const KeyTable keys = {{
        {1, "RELEASED_DLL_PATH", &CommonDllResourceFile::releasedDllPath},
        {2, "FIRMWARE_PATH", &CommonDllResourceFile::firmwarePath},
        {3, "PROFILE_PATH", &CommonDllResourceFile::profilePath},
        {4, "CONTROLLER_LIST_FILE", &CommonDllResourceFile::controllerListFile},
        {5, "REVISION_CHECK_FILE", &CommonDllResourceFile::revisionCheckFile},
        {100, "LOCAL_DLL_PATH", &CommonDllResourceFile::localDllPath},
        {101, "MENU_PATH", &CommonDllResourceFile::menuPath},
    }};
    return keys;
}

// Beside the host executable first, then beside this library; empty when neither exists. A
// module whose file name is not known (it did not fit) has no directory to look in.
TString FindResourceFile() {
    for (const TString& directory :
         {LabVIEW_FilePath(), RemoveFileNameFromPath(CommonDLL_FileName(true))}) {
        if (!directory.IsEmpty() && DoesFileExists(directory + kFileName))
            return directory + kFileName;
    }
    return TString();
}

bool IsAbsolute(const TString& path) {
    return std::strncmp(path.CStr(), "\\\\", 2) == 0 || std::strchr(path.CStr(), ':') != nullptr ||
           koa::platform::IsHostRootedPath(path.CStr());
}

} // namespace

void CommonDllResourceFile::EnsureLoaded() {
    if (loaded)
        return;
    ErrorCluster discarded;
    Load(&discarded);
}

const TString& CommonDllResourceFile::Read(Field field) {
    EnsureLoaded();
    return this->*field;
}

void CommonDllResourceFile::Load(ErrorCluster* err) {
    if (err->Status())
        return;
    if (!koa::RunGuarded(err, [this, err] { LoadValues(err); }))
        loaded = false;
}

void CommonDllResourceFile::LoadValues(ErrorCluster* err) {
    const auto& keys = Keys();
    loaded = true;
    for (const Key& key : keys)
        this->*key.field = key.id < 101 ? kUnknown : "";
    const TString file = FindResourceFile();
    if (file.IsEmpty()) {
        err->SetError(13, "Resource File 'koa_dev.rsc' Not Found");
        return;
    }
    if (!ReadStrings(err, file)) {
        err->SetError(14, "Error Loading Resource File 'koa_dev.rsc'");
        return;
    }
    ResolveLocalDllPath();
    if (!err->Status())
        EnsureLocalDllDirectory(err);
}

// False when the file cannot be opened; a missing required string is error 15, and reading goes
// on so that every value present is read.
bool CommonDllResourceFile::ReadStrings(ErrorCluster* err, const TString& file) {
    const auto resources = koa::platform::OpenStringResourceFile(file.CStr());
    if (!resources)
        return false;
    for (const Key& key : Keys()) {
        char buffer[kStringBuffer];
        if (resources->LoadString(key.id, buffer, kStringBuffer) > 0)
            this->*key.field = buffer;
        else if (key.id < 100)
            err->SetError(15, "'%s' Resource not found in file 'koa_dev.rsc'", key.name);
    }
    return true;
}

// Without a host directory (its path did not fit) a relative or absent value resolves to nothing:
// the path stays "<Unknown>".
void CommonDllResourceFile::ResolveLocalDllPath() {
    const bool configured = localDllPath.CStr()[0] != '<';
    if (configured && IsAbsolute(localDllPath))
        return;
    const TString host = LabVIEW_FilePath();
    localDllPath = host.IsEmpty() ? TString(kUnknown) : configured ? host + localDllPath : host;
}

// The directory tree's own message gives way to one that names the local library path.
void CommonDllResourceFile::EnsureLocalDllDirectory(ErrorCluster* err) {
    if (DoesFileExists(localDllPath + "*.*"))
        return;
    CreateDirectoryTree(err, localDllPath);
    if (!err->Status())
        return;
    err->ResetStatus();
    err->SetError(7, "Local DLL Path does not Exist and can not be created '%s'",
                  localDllPath.CStr());
}

TString CommonDllResourceFile::FormattedPathInfo() {
    EnsureLoaded();
    TString info;
    info.Format("Released DLL Path = '%s'\nFirmware Path = '%s'\nProfile Path = '%s'\n"
                "Controller List File = '%s'\nRevision Check File = '%s'\n",
                releasedDllPath.CStr(), firmwarePath.CStr(), profilePath.CStr(),
                controllerListFile.CStr(), revisionCheckFile.CStr());
    return info;
}
