#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace koa::tool {

enum ExitCode { kSuccess = 0, kFailure = 1, kUsageError = 2 };

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

using Arguments = std::vector<std::string>;

// A command of the tool: either a group of subcommands or an action taking its own arguments.
struct Command {
    std::string name;
    std::string summary; // one line, in the parent's list
    std::string usage;   // the arguments after the command's name
    std::string details; // printed by --help after the usage
    std::function<int(const Arguments&, Streams&)> action;
    std::vector<Command> subcommands;
};

// Thrown by an action for arguments it cannot use; reported with the command's usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Runs the command named by args under root; prefix is how the user invoked root.
int RunCommand(const Command& root, const std::string& prefix, const Arguments& args,
               Streams& streams);

} // namespace koa::tool
