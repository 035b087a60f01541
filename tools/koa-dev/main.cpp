#include "command.h"
#include "library_commands.h"
#include "rsc_command.h"
#include "version_command.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    using namespace koa::tool;
    std::vector<Command> commands = LibraryCommands();
    commands.push_back(RscCommand());
    commands.push_back(VersionCommand());
    const Command root{"koa-dev",
                       "Developer tool for the device library and its files.",
                       "COMMAND [ARGUMENTS]",
                       "",
                       nullptr,
                       commands};
    Streams streams{std::cout, std::cerr};
    try {
        const int code = RunCommand(root, "koa-dev", Arguments(argv + 1, argv + argc), streams);
        std::cout.flush();
        return std::cout ? code : kFailure;
    } catch (const std::exception& error) {
        std::cerr << "koa-dev: " << error.what() << "\n";
        return kFailure;
    }
}
