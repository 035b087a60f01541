#include "library_commands.h"

#include "call_report.h"

#include <koa_dev/koa_dev.h>

namespace koa::tool {

namespace {

int ConnectCommand(const Arguments& args, Streams& streams) {
    const LoadOptions options = ParseLoadOptions(args, 1, kNoOption);
    ErrorCluster err;
    CallResults results;
    Connect(err, options.operands.empty() ? std::string() : options.operands[0], results);
    PrintResults(results, streams.out);
    return Finish(err, streams.out);
}

int IdentifyCommand(const Arguments& args, Streams& streams) {
    const LoadOptions options = ParseLoadOptions(args, 0, kControllerOption);
    ErrorCluster err;
    CallResults results;
    Connect(err, options.controller.value_or(""), results);
    results.push_back({"ID_Device", ID_Device(&err)});
    PrintResults(results, streams.out);
    return Finish(err, streams.out);
}

int LoadDeviceCommand(const Arguments& args, Streams& streams) {
    const LoadOptions options = ParseLoadOptions(args, 1, kControllerOption);
    if (options.operands.empty())
        throw UsageError("no SPEC given");
    ErrorCluster err;
    CallResults results;
    Connect(err, options.controller.value_or(""), results);
    LoadDevice(err, options.operands[0], results);
    PrintResults(results, streams.out);
    return Finish(err, streams.out);
}

const char* const kController =
    "One run is one process: the controller library is connected first, the one of\n"
    "--controller SPEC, or without it the first of the controller list file that connects.\n";

} // namespace

std::vector<Command> LibraryCommands() {
    Command connect{
        "connect",
        "Load a controller library (LoadControllerLibrary) and check its version.",
        "[SPEC]",
        std::string("SPEC is a library specification, FILE or FILE|PARAMETERS; without it (or\n"
                    "with an empty one) the entries of CONTROLLER_LIST_FILE are tried in order\n"
                    "until one connects. The returned text is the version warning, if any.\n") +
            kSiteHelp + kClusterHelp,
        ConnectCommand,
        {}};
    Command identify{"identify",
                     "Connect a controller library and identify the device (ID_Device).",
                     "[--controller SPEC]",
                     std::string(kController) + kSiteHelp + kClusterHelp,
                     IdentifyCommand,
                     {}};
    Command loadDevice{
        "load-device",
        "Connect a controller library, then check and load a device library.",
        "SPEC [--controller SPEC]",
        std::string(
            "SPEC names the device library, FILE or FILE|PARAMETERS. As a driver does, the\n"
            "tool checks its version first (VerifyDeviceSpecificDllVersion, which copies\n"
            "the released copy when there is no local one), then loads it\n"
            "(LoadDeviceLibrary): the returned text is what its initialisation wrote.\n\n") +
            kController + kSiteHelp + kClusterHelp,
        LoadDeviceCommand,
        {}};
    return {connect, identify, loadDevice};
}

} // namespace koa::tool
