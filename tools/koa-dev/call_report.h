#pragma once

#include "command.h"

#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring.h>

#include <optional>

namespace koa::tool {

// Help paragraphs the library commands share.
inline constexpr const char* kSiteHelp =
    "\nThe library reads koa_dev.rsc beside this program, or else beside the library, and\n"
    "loads controller and device libraries from its LOCAL_DLL_PATH, copying them from\n"
    "RELEASED_DLL_PATH when only that directory has them.\n";

inline constexpr const char* kClusterHelp =
    "\nPrints what each call returned and then the error cluster as LabVIEW shows it\n"
    "(status, code, source). Exits with 1 when the cluster holds an error.\n";

// The options the library commands share: the controller to connect first (list mode without
// one), the device library to load after it, the report as JSON, and the command's own operands.
struct LoadOptions {
    std::optional<std::string> controller;
    std::optional<std::string> device;
    bool json = false;
    std::vector<std::string> operands;
};

// Which of the options a command takes.
enum LoadOption { kNoOption = 0, kControllerOption = 1, kDeviceOption = 2, kJsonOption = 4 };

// Parses the options a command takes ("--controller SPEC", "--device SPEC", also as
// "--name=SPEC", and "--json") and at most maxOperands other arguments.
LoadOptions ParseLoadOptions(const Arguments& args, size_t maxOperands, int accepted);

// What the library returned to one call, in the order of the calls.
struct CallResult {
    std::string call;
    TString text;
};
using CallResults = std::vector<CallResult>;

// Prints what each call returned.
void PrintResults(const CallResults& results, std::ostream& out);

// Prints the cluster as LabVIEW's error indicator shows it.
void PrintCluster(const ErrorCluster& err, std::ostream& out);

// The exit code of a command that ends with the cluster: 1 when it holds an error.
int ExitCode(const ErrorCluster& err);

// Prints the cluster and returns the exit code it gives.
int Finish(const ErrorCluster& err, std::ostream& out);

// LoadControllerLibrary with the given library specification (the controller list when empty).
void Connect(ErrorCluster& err, const std::string& spec, CallResults& results);

// As a driver loads its device library: VerifyDeviceSpecificDllVersion (which copies the
// released copy when there is no local one), then LoadDeviceLibrary.
void LoadDevice(ErrorCluster& err, const std::string& spec, CallResults& results);

} // namespace koa::tool
