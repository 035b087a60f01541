#include "command.h"

#include <algorithm>

namespace koa::tool {

namespace {

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// One line per command that takes arguments, under the group names that lead to it.
void PrintCommandList(const Command& group, const std::string& prefix, std::ostream& out) {
    for (const Command& sub : group.subcommands) {
        if (!sub.subcommands.empty()) {
            PrintCommandList(sub, prefix + sub.name + ' ', out);
            continue;
        }
        std::string name = "  " + prefix + sub.name;
        name.resize(std::max<size_t>(name.size() + 2, 18), ' ');
        out << name << sub.summary << "\n";
    }
}

void PrintHelp(const Command& command, const std::string& path, std::ostream& out) {
    out << "Usage: " << path;
    if (!command.usage.empty())
        out << ' ' << command.usage;
    out << "\n";
    if (!command.summary.empty())
        out << "\n" << command.summary << "\n";
    if (!command.details.empty())
        out << "\n" << command.details;
    if (!command.subcommands.empty()) {
        out << "\nCommands:\n";
        PrintCommandList(command, "", out);
        out << "\nRun '" << path << " COMMAND --help' for a command's arguments.\n";
    }
}

int RunAction(const Command& command, const std::string& path, const Arguments& args,
              Streams& streams) {
    if (std::any_of(args.begin(), args.end(), IsHelp)) {
        PrintHelp(command, path, streams.out);
        return kSuccess;
    }
    try {
        return command.action(args, streams);
    } catch (const UsageError& error) {
        streams.err << path << ": " << error.what() << "\n"
                    << "Usage: " << path << ' ' << command.usage << "\n";
        return kUsageError;
    }
}

} // namespace

int RunCommand(const Command& command, const std::string& path, const Arguments& args,
               Streams& streams) {
    if (command.action)
        return RunAction(command, path, args, streams);
    if (!args.empty() && IsHelp(args.front())) {
        PrintHelp(command, path, streams.out);
        return kSuccess;
    }
    if (args.empty()) {
        PrintHelp(command, path, streams.err);
        return kUsageError;
    }
    for (const Command& sub : command.subcommands) {
        if (sub.name == args.front())
            return RunCommand(sub, path + ' ' + sub.name, Arguments(args.begin() + 1, args.end()),
                              streams);
    }
    streams.err << path << ": unknown command '" << args.front() << "'\n"
                << "Run '" << path << " --help' for the list of commands.\n";
    return kUsageError;
}

} // namespace koa::tool
