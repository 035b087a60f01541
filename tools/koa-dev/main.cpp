#include "command.h"
#include "library_commands.h"
#include "new_command.h"
#include "rsc_command.h"
#include "site_commands.h"
#include "site_option.h"
#include "version_command.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    using namespace koa::tool;
    // In the order a site is brought up: look at it, connect, then maintain its files; last, a
    // new driver.
    const std::vector<Command> site = SiteCommands();
    std::vector<Command> commands{site[0]};
    for (Command& command : LibraryCommands())
        commands.push_back(command);
    commands.push_back(site[1]);
    commands.push_back(VersionCommand());
    commands.push_back(RscCommand());
    commands.push_back(NewCommand());
    const Command root{
        "koa-dev",
        "Developer tool for the device library and its files.",
        "[--site DIR] COMMAND [ARGUMENTS] | --version",
        "--site DIR  run as the host program of the site in DIR (the directory\n"
        "            holding koa_dev.rsc): the tool places a copy of itself there\n"
        "            and runs it, so configured paths resolve as in that site.\n"
        "--version   print the version of the release the tool belongs to.\n"
        "\nExit codes: 0 success; 1 the command ran and failed (the error cluster\n"
        "holds an error; a file has no version information or cannot be read,\n"
        "loaded or written; a new project's directory is not empty); 2 arguments\n"
        "it cannot use (an unknown command or option, a missing or extra argument).\n",
        nullptr,
        commands};
    Streams streams{std::cout, std::cerr};
    try {
        Arguments args(argv + 1, argv + argc);
        if (const auto code = RunInSite(args, streams))
            return *code;
        if (args.size() == 1 && args[0] == "--version") {
            std::cout << "koa-dev " << KOA_DEV_VERSION << "\n";
            return std::cout.flush() ? kSuccess : kFailure;
        }
        const int code = RunCommand(root, "koa-dev", args, streams);
        std::cout.flush();
        return std::cout ? code : kFailure;
    } catch (const std::exception& error) {
        std::cerr << "koa-dev: " << error.what() << "\n";
        return kFailure;
    }
}
