#include "site_commands.h"

#include "call_report.h"
#include "json_report.h"
#include "version_command.h"

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

// The resource file the library reads: beside the host program, else beside the library.
TString ResourceFilePath() {
    const TString beside = LabVIEW_FilePath() + kResourceFile;
    if (!LabVIEW_FilePath().IsEmpty() && DoesFileExists(beside))
        return beside;
    return RemoveFileNameFromPath(CommonDLL_FileName(true)) + kResourceFile;
}

// A path as the library resolves it, and whether it exists ("" when not tested).
struct PathFact {
    const char* name;
    TString value;
    const char* state;
};

// What info reports: the site, the configuration as read, the loads asked for, the versions.
struct SiteFacts {
    PathFact hostDirectory;
    PathFact commonLibrary;
    PathFact resourceFile;
    std::vector<PathFact> configuration;
    ErrorCluster configurationCluster;
    CallResults loads;
    TString versionReport;
    std::vector<std::pair<const char*, FileVersionFacts>> libraries;
    ErrorCluster cluster;
};

void ReadConfiguration(SiteFacts& facts) {
    facts.hostDirectory = {"host directory", LabVIEW_FilePath(), ""};
    facts.commonLibrary = {"common library", CommonDLL_FileName(true), ""};
    const TString rsc = ResourceFilePath();
    facts.resourceFile = {"resource file", rsc, Presence(rsc)};
    ReloadCommonDllResourceFile(&facts.configurationCluster);
    using Getter = TString (*)(ErrorCluster*);
    const std::pair<const char*, Getter> settings[] = {{"RELEASED_DLL_PATH", ReleasedDllPath},
                                                       {"FIRMWARE_PATH", FirmwarePath},
                                                       {"PROFILE_PATH", ProfilePath},
                                                       {"CONTROLLER_LIST_FILE", ControllerListFile},
                                                       {"REVISION_CHECK_FILE", RevisionCheckFile},
                                                       {"LOCAL_DLL_PATH", LocalDllPath},
                                                       {"MENU_PATH", MenuPath}};
    for (const auto& [name, get] : settings) {
        const TString value = get(nullptr);
        facts.configuration.push_back({name, value, Presence(value)});
    }
}

// The version report, and the version information of each library file it covers.
void ReadVersions(SiteFacts& facts) {
    facts.versionReport = FormattedVersionInfo(&facts.cluster);
    const std::pair<const char*, TString> files[] = {{"common", CommonDLL_FileName(true)},
                                                     {"controller", ControllerDLL_FileName(true)},
                                                     {"device", DeviceDLL_FileName(true)}};
    for (const auto& [role, file] : files) {
        if (!file.IsEmpty())
            facts.libraries.emplace_back(role, ReadFileVersionFacts(file.CStr()));
    }
}

void PrintRow(const PathFact& row, std::ostream& out) {
    out << "  " << std::left << std::setw(22) << row.name << std::setw(16) << row.state
        << row.value.CStr() << "\n";
}

void PrintText(const SiteFacts& facts, bool loaded, std::ostream& out) {
    out << "Site\n";
    for (const PathFact* row : {&facts.hostDirectory, &facts.commonLibrary, &facts.resourceFile})
        PrintRow(*row, out);
    out << "\nConfiguration\n";
    for (const PathFact& row : facts.configuration)
        PrintRow(row, out);
    PrintCluster(facts.configurationCluster, out);
    if (loaded) {
        out << "\nLoads\n";
        PrintResults(facts.loads, out);
    }
    out << "\nVersion information (FormattedVersionInfo)\n" << facts.versionReport.CStr();
    PrintCluster(facts.cluster, out);
}

void PrintJsonReport(const SiteFacts& facts, std::ostream& out) {
    Json configuration = Json::object();
    for (const PathFact& row : facts.configuration)
        configuration[row.name] = Json{{"value", ToJson(row.value)}, {"state", row.state}};
    Json libraries = Json::array();
    for (const auto& [role, versions] : facts.libraries) {
        Json library{{"role", role}};
        library.update(ToJson(versions));
        libraries.push_back(library);
    }
    const Json resourceFile{{"path", ToJson(facts.resourceFile.value)},
                            {"state", facts.resourceFile.state}};
    PrintJson(Json{{"format", kJsonFormat},
                   {"host_directory", ToJson(facts.hostDirectory.value)},
                   {"common_library", ToJson(facts.commonLibrary.value)},
                   {"resource_file", resourceFile},
                   {"configuration", configuration},
                   {"configuration_cluster", ToJson(facts.configurationCluster)},
                   {"loads", ToJson(facts.loads)},
                   {"version_report", ToJson(facts.versionReport)},
                   {"libraries", libraries},
                   {"cluster", ToJson(facts.cluster)}},
              out);
}

int InfoCommand(const Arguments& args, Streams& streams) {
    const LoadOptions options =
        ParseLoadOptions(args, 0, kControllerOption | kDeviceOption | kJsonOption);
    SiteFacts facts;
    ReadConfiguration(facts);
    const bool loaded = options.controller || options.device;
    if (loaded)
        Connect(facts.cluster, options.controller.value_or(""), facts.loads);
    if (options.device)
        LoadDevice(facts.cluster, *options.device, facts.loads);
    ReadVersions(facts);
    if (options.json)
        PrintJsonReport(facts, streams.out);
    else
        PrintText(facts, loaded, streams.out);
    const int configuration = ExitCode(facts.configurationCluster);
    return configuration == kSuccess ? ExitCode(facts.cluster) : configuration;
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
        "[--controller SPEC] [--device SPEC] [--json]",
        std::string(
            "Prints the host program's directory, the common library and the resource file in\n"
            "use, then each configured value as the library resolves it (LOCAL_DLL_PATH made\n"
            "absolute, MENU_PATH falling back to the revision check file's directory) with\n"
            "whether it exists, and the cluster of reading koa_dev.rsc. Then the version report\n"
            "of FormattedVersionInfo: with --controller and --device, after connecting that\n"
            "controller (--controller \"\" for the controller list) and checking and loading that\n"
            "device library, so the report covers them. With --json, one JSON document with the\n"
            "same facts and the version information of each library file (docs/koa-dev.md).\n") +
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
