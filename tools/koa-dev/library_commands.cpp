#include "library_commands.h"

#include <koa_dev/koa_dev.h>

#include <optional>

namespace koa::tool {

namespace {

struct Options {
    std::optional<std::string> controller; // --controller SPEC; list mode without it
    std::vector<std::string> operands;
};

Options ParseOptions(const Arguments& args, size_t operands) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--controller") {
            if (++i == args.size())
                throw UsageError("--controller needs a value");
            options.controller = args[i];
        } else if (arg.rfind("--controller=", 0) == 0) {
            options.controller = arg.substr(13);
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError("unknown option '" + arg + "'");
        } else {
            options.operands.push_back(arg);
        }
    }
    if (options.operands.size() > operands)
        throw UsageError("unexpected argument '" + options.operands[operands] + "'");
    return options;
}

void PrintResult(const char* call, const TString& text, std::ostream& out) {
    out << call << " returned \"" << text.CStr() << "\"\n";
}

// The cluster as LabVIEW's error indicator shows it; an error makes the exit code 1.
int Finish(const ErrorCluster& err, std::ostream& out) {
    out << "status: " << (err.Status() ? "error" : "no error") << "\n"
        << "code:   " << err.Code() << "\n"
        << "source: " << err.Source().CStr() << "\n";
    if (err.FatalStatus())
        out << "fatal:  " << err.FatalCode() << "\n";
    return err.Status() ? kFailure : kSuccess;
}

void Connect(ErrorCluster& err, const std::string& spec, std::ostream& out) {
    PrintResult("LoadControllerLibrary", LoadControllerLibrary(&err, spec.c_str()), out);
}

int ConnectCommand(const Arguments& args, Streams& streams) {
    if (!args.empty() && args.front().rfind("--", 0) == 0)
        throw UsageError("unknown option '" + args.front() + "'");
    if (args.size() > 1)
        throw UsageError("unexpected argument '" + args[1] + "'");
    ErrorCluster err;
    Connect(err, args.empty() ? std::string() : args.front(), streams.out);
    return Finish(err, streams.out);
}

int IdentifyCommand(const Arguments& args, Streams& streams) {
    const Options options = ParseOptions(args, 0);
    ErrorCluster err;
    Connect(err, options.controller.value_or(""), streams.out);
    PrintResult("ID_Device", ID_Device(&err), streams.out);
    return Finish(err, streams.out);
}

int LoadDeviceCommand(const Arguments& args, Streams& streams) {
    const Options options = ParseOptions(args, 1);
    if (options.operands.empty())
        throw UsageError("no SPEC given");
    ErrorCluster err;
    Connect(err, options.controller.value_or(""), streams.out);
    PrintResult("LoadDeviceLibrary", LoadDeviceLibrary(&err, options.operands[0].c_str()),
                streams.out);
    return Finish(err, streams.out);
}

const char* const kSite =
    "The library reads koa_dev.rsc beside this program, or else beside the library, and\n"
    "loads controller and device libraries from its LOCAL_DLL_PATH, copying them from\n"
    "RELEASED_DLL_PATH when only that directory has them.\n";

const char* const kCluster =
    "Prints what each call returned and then the error cluster as LabVIEW shows it\n"
    "(status, code, source). Exits with 1 when the cluster holds an error.\n";

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
            kSite + kCluster,
        ConnectCommand,
        {}};
    Command identify{"identify",
                     "Connect a controller library and identify the device (ID_Device).",
                     "[--controller SPEC]",
                     std::string(kController) + kSite + kCluster,
                     IdentifyCommand,
                     {}};
    Command loadDevice{
        "load-device",
        "Connect a controller library, then load a device library (LoadDeviceLibrary).",
        "SPEC [--controller SPEC]",
        std::string("SPEC names the device library, FILE or FILE|PARAMETERS; the returned text\n"
                    "is what its initialisation wrote.\n") +
            kController + kSite + kCluster,
        LoadDeviceCommand,
        {}};
    return {connect, identify, loadDevice};
}

} // namespace koa::tool
