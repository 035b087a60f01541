#include "site_commands.h"

#include "call_report.h"

#include <koa_dev/koa_dev.h>

#include <iomanip>

namespace koa::tool {

namespace {

constexpr const char* kResourceFile = "koa_dev.rsc";

bool IsDirectoryPath(const TString& path) {
    const char last = path.IsEmpty() ? '\0' : path.CStr()[path.Length() - 1];
    return last == '\\' || last == '/';
}

// Whether the path names something, tested as the library tests it: a directory through a
// search for any entry in it.
const char* Presence(const TString& path) {
    if (path.IsEmpty())
        return "not set";
    if (path == TString("<Unknown>"))
        return "not configured";
    const bool found = IsDirectoryPath(path) ? DoesFileExists(path + "*.*") : DoesFileExists(path);
    return found ? "exists" : "missing";
}

void PrintRow(const char* name, const TString& value, const char* state, std::ostream& out) {
    out << "  " << std::left << std::setw(22) << name << std::setw(16) << state << value.CStr()
        << "\n";
}

// The resource file the library reads: beside the host program, else beside the library.
TString ResourceFilePath() {
    const TString beside = LabVIEW_FilePath() + kResourceFile;
    if (!LabVIEW_FilePath().IsEmpty() && DoesFileExists(beside))
        return beside;
    return RemoveFileNameFromPath(CommonDLL_FileName(true)) + kResourceFile;
}

int PrintConfiguration(std::ostream& out) {
    out << "Site\n";
    PrintRow("host directory", LabVIEW_FilePath(), "", out);
    PrintRow("common library", CommonDLL_FileName(true), "", out);
    const TString rsc = ResourceFilePath();
    PrintRow("resource file", rsc, Presence(rsc), out);
    ErrorCluster err;
    ReloadCommonDllResourceFile(&err);
    using Getter = TString (*)(ErrorCluster*);
    const std::pair<const char*, Getter> settings[] = {{"RELEASED_DLL_PATH", ReleasedDllPath},
                                                       {"FIRMWARE_PATH", FirmwarePath},
                                                       {"PROFILE_PATH", ProfilePath},
                                                       {"CONTROLLER_LIST_FILE", ControllerListFile},
                                                       {"REVISION_CHECK_FILE", RevisionCheckFile},
                                                       {"LOCAL_DLL_PATH", LocalDllPath},
                                                       {"MENU_PATH", MenuPath}};
    out << "\nConfiguration\n";
    for (const auto& [name, get] : settings) {
        const TString value = get(nullptr);
        PrintRow(name, value, Presence(value), out);
    }
    return Finish(err, out);
}

int InfoCommand(const Arguments& args, Streams& streams) {
    const LoadOptions options = ParseLoadOptions(args, 0, kControllerOption | kDeviceOption);
    const int configuration = PrintConfiguration(streams.out);
    ErrorCluster err;
    if (options.controller || options.device) {
        streams.out << "\nLoads\n";
        Connect(err, options.controller.value_or(""), streams.out);
    }
    if (options.device)
        LoadDevice(err, *options.device, streams.out);
    streams.out << "\nVersion information (FormattedVersionInfo)\n";
    const TString report = FormattedVersionInfo(&err);
    streams.out << report.CStr();
    const int version = Finish(err, streams.out);
    return configuration == kSuccess ? version : configuration;
}

int UpdateCommand(const Arguments& args, Streams& streams) {
    const LoadOptions options = ParseLoadOptions(args, 1, kNoOption);
    if (options.operands.empty())
        throw UsageError("no NAME given");
    const std::string& name = options.operands[0];
    const TString released = ReleasedDllPath(nullptr);
    const TString local = LocalDllPath(nullptr);
    streams.out << "UpdateLocalDLL \"" << name << "\"\n"
                << "  from " << released.CStr() << "\n"
                << "  to   " << local.CStr() << "\n";
    ErrorCluster err;
    UpdateLocalDLL(&err, name.c_str());
    return Finish(err, streams.out);
}

} // namespace

std::vector<Command> SiteCommands() {
    Command info{
        "info",
        "Show the site as the library sees it: configuration, paths, versions.",
        "[--controller SPEC] [--device SPEC]",
        std::string(
            "Prints the host program's directory, the common library and the resource file in\n"
            "use, then each configured value as the library resolves it (LOCAL_DLL_PATH made\n"
            "absolute, MENU_PATH falling back to the revision check file's directory) with\n"
            "whether it exists, and the cluster of reading koa_dev.rsc. Then the version report\n"
            "of FormattedVersionInfo: with --controller and --device, after connecting that\n"
            "controller (--controller \"\" for the controller list) and checking and loading that\n"
            "device library, so the report covers them.\n") +
            kSiteHelp + kClusterHelp,
        InfoCommand,
        {}};
    Command update{
        "update",
        "Copy a library's released copy to the local directory (UpdateLocalDLL).",
        "NAME",
        std::string(
            "NAME is a library specification, FILE or FILE|PARAMETERS. The file is\n"
            "copied from RELEASED_DLL_PATH to LOCAL_DLL_PATH, replacing the local copy.\n") +
            kSiteHelp + kClusterHelp,
        UpdateCommand,
        {}};
    return {info, update};
}

} // namespace koa::tool
