#include "site_option.h"

#include "platform/modules.h"

#include <koa_dev/paths.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace koa::tool {

namespace {

// Takes "--site DIR" or "--site=DIR" out of args; nothing when absent.
std::optional<std::string> TakeSite(Arguments& args) {
    for (auto it = args.begin(); it != args.end() && *it != "--"; ++it) {
        if (it->rfind("--site=", 0) == 0) {
            std::string dir = it->substr(7);
            args.erase(it);
            return dir;
        }
        if (*it == "--site") {
            if (it + 1 == args.end())
                throw UsageError("--site needs a directory");
            std::string dir = *(it + 1);
            args.erase(it, it + 2);
            return dir;
        }
    }
    return std::nullopt;
}

// Puts a current copy of the tool at target: a hard link, or a copy where links fail.
void PlaceCopy(const fs::path& tool, const fs::path& target) {
    std::error_code ignored;
    if (fs::equivalent(tool, target, ignored))
        return;
    fs::remove(target, ignored);
    std::error_code linkError;
    fs::create_hard_link(tool, target, linkError);
    if (linkError)
        fs::copy_file(tool, target, fs::copy_options::overwrite_existing);
}

std::string Quoted(const std::string& arg) {
#if defined(_WIN32)
    return '"' + arg + '"';
#else
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
#endif
}

int Run(const fs::path& program, const Arguments& args) {
    std::string command = Quoted(program.string());
    for (const std::string& arg : args)
        command += ' ' + Quoted(arg);
#if defined(_WIN32)
    // cmd /c drops the outer pair of quotes and keeps the quoted words inside.
    return std::system(('"' + command + '"').c_str());
#else
    const int status = std::system(command.c_str());
    // A wait status: the exit code in bits 8 to 15 when the low bits report a normal exit.
    return status != -1 && (status & 0x7F) == 0 ? (status >> 8) & 0xFF : kFailure;
#endif
}

} // namespace

fs::path ToolExecutable() {
    char name[4096];
    const size_t n = platform::ModuleFileName(nullptr, name, sizeof name);
    return fs::path(std::string(name, n));
}

std::optional<int> RunInSite(Arguments& args, Streams& streams) {
    std::optional<std::string> site;
    try {
        site = TakeSite(args);
    } catch (const UsageError& error) {
        streams.err << "koa-dev: " << error.what() << "\n";
        return kUsageError;
    }
    if (!site)
        return std::nullopt;
    std::error_code error;
    if (!fs::is_directory(*site, error)) {
        streams.err << "koa-dev: --site '" << *site << "' is not a directory\n";
        return kFailure;
    }
    const fs::path tool = ToolExecutable();
    if (fs::equivalent(tool.parent_path(), *site, error))
        return std::nullopt;
    const fs::path host = fs::path(*site) / tool.filename();
    try {
        PlaceCopy(tool, host);
        // The copy finds the library beside itself, as the tool finds it: on Windows always,
        // elsewhere when the tool runs from an installed package.
        const fs::path library(CommonDLL_FileName(true).CStr());
        PlaceCopy(fs::canonical(library), fs::path(*site) / library.filename());
    } catch (const fs::filesystem_error& failure) {
        streams.err << "koa-dev: cannot place the tool in '" << *site << "': " << failure.what()
                    << "\n";
        return kFailure;
    }
    streams.out.flush();
    return Run(host, args);
}

} // namespace koa::tool
