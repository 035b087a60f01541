#include "call_report.h"

#include <koa_dev/koa_dev.h>

namespace koa::tool {

namespace {

// Takes the value of "--name VALUE" or "--name=VALUE" at args[i]; false when args[i] is neither.
bool TakeOption(const Arguments& args, size_t& i, const std::string& name,
                std::optional<std::string>& value) {
    const std::string& arg = args[i];
    if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (arg != name)
        return false;
    if (++i == args.size())
        throw UsageError(name + " needs a value");
    value = args[i];
    return true;
}

} // namespace

LoadOptions ParseLoadOptions(const Arguments& args, size_t maxOperands, int accepted) {
    LoadOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((accepted & kControllerOption) &&
            TakeOption(args, i, "--controller", options.controller))
            continue;
        if ((accepted & kDeviceOption) && TakeOption(args, i, "--device", options.device))
            continue;
        if ((accepted & kJsonOption) && args[i] == "--json") {
            options.json = true;
            continue;
        }
        if (args[i].rfind("--", 0) == 0)
            throw UsageError("unknown option '" + args[i] + "'");
        options.operands.push_back(args[i]);
    }
    if (options.operands.size() > maxOperands)
        throw UsageError("unexpected argument '" + options.operands[maxOperands] + "'");
    return options;
}

void PrintResults(const CallResults& results, std::ostream& out) {
    for (const CallResult& result : results)
        out << result.call << " returned \"" << result.text.CStr() << "\"\n";
}

void PrintCluster(const ErrorCluster& err, std::ostream& out) {
    out << "status: " << (err.Status() ? "error" : "no error") << "\n"
        << "code:   " << err.Code() << "\n"
        << "source: " << err.Source().CStr() << "\n";
    if (err.FatalStatus())
        out << "fatal:  " << err.FatalCode() << "\n";
}

int ExitCode(const ErrorCluster& err) {
    return err.Status() ? kFailure : kSuccess;
}

int Finish(const ErrorCluster& err, std::ostream& out) {
    PrintCluster(err, out);
    return ExitCode(err);
}

void Connect(ErrorCluster& err, const std::string& spec, CallResults& results) {
    results.push_back({"LoadControllerLibrary", LoadControllerLibrary(&err, spec.c_str())});
}

void LoadDevice(ErrorCluster& err, const std::string& spec, CallResults& results) {
    results.push_back(
        {"VerifyDeviceSpecificDllVersion", VerifyDeviceSpecificDllVersion(&err, spec.c_str())});
    results.push_back({"LoadDeviceLibrary", LoadDeviceLibrary(&err, spec.c_str())});
}

} // namespace koa::tool
