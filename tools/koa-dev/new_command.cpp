#include "new_command.h"

#include "new_templates.h"
#include "site_option.h"

#include <cctype>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace koa::tool {

namespace {

// The name becomes the file name, the CMake target and a prefix of C identifiers.
bool IsLibraryName(const std::string& name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    }
    return true;
}

// The package's CMake directory when the tool runs from an installed package.
std::string PackageDirectory() {
    std::error_code error;
    const fs::path dir = ToolExecutable().parent_path().parent_path() / "lib" / "cmake" / "koa_dev";
    return fs::exists(dir / "koa_devConfig.cmake", error) ? dir.string()
                                                          : "<koa_dev>/lib/cmake/koa_dev";
}

int Write(LibraryKind kind, const Arguments& args, Streams& streams) {
    if (args.empty())
        throw UsageError("no NAME given");
    for (const std::string& arg : args) {
        if (arg.rfind("--", 0) == 0)
            throw UsageError("unknown option '" + arg + "'");
    }
    if (args.size() > 2)
        throw UsageError("unexpected argument '" + args[2] + "'");
    const std::string& name = args[0];
    if (!IsLibraryName(name))
        throw UsageError("'" + name +
                         "' is not a library name (a letter, then letters, digits, _)");
    const fs::path dir = args.size() > 1 ? fs::path(args[1]) : fs::path(name);
    std::error_code error;
    if (fs::exists(dir, error) && !fs::is_empty(dir, error)) {
        streams.err << "koa-dev new: '" << dir.string() << "' is not empty\n";
        return kFailure;
    }
    const std::string version = KOA_DEV_VERSION;
    for (const ProjectFile& file : ProjectFiles(kind, name, version.substr(0, version.find('.')))) {
        const fs::path path = dir / file.path;
        fs::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary);
        out << file.text;
        out.close();
        if (!out) {
            streams.err << "koa-dev new: cannot write '" << path.string() << "'\n";
            return kFailure;
        }
        streams.out << "wrote " << path.string() << "\n";
    }
    const std::string build = (dir / "build").string();
    streams.out << "\nBuild and test it against the installed koa_dev package:\n"
                << "  cmake -S " << dir.string() << " -B " << build
                << " -Dkoa_dev_DIR=" << PackageDirectory() << "\n"
                << "  cmake --build " << build << "\n"
                << "  ctest --test-dir " << build << "\n";
    return kSuccess;
}

const char* const kNewHelp =
    "Writes a driver project into DIR (default: ./NAME), which must be empty or absent:\n"
    "CMakeLists.txt building the library NAME against the installed koa_dev package, with\n"
    "its version resource (koa_dev_add_version_info); src/NAME.h and src/NAME.cpp with the\n"
    "exports koa_dev calls, commented; tests/NAME_test.cpp, a test program that calls them\n"
    "with koa_dev::lvhost in place of LabVIEW; and a README. NAME is a letter followed by\n"
    "letters, digits and underscores. Exits with 1 when DIR is not empty or a file cannot\n"
    "be written.\n";

} // namespace

Command NewCommand() {
    Command controller{"controller",
                       "Write a controller library project: connect check, identification, exit.",
                       "NAME [DIR]",
                       kNewHelp,
                       [](const Arguments& args, Streams& streams) {
                           return Write(LibraryKind::kController, args, streams);
                       },
                       {}};
    Command device{"device",
                   "Write a device library project: initialisation, exit, a LabVIEW function.",
                   "NAME [DIR]",
                   kNewHelp,
                   [](const Arguments& args, Streams& streams) {
                       return Write(LibraryKind::kDevice, args, streams);
                   },
                   {}};
    return Command{"new",   "Write a new driver project.", "COMMAND", "",
                   nullptr, {controller, device}};
}

} // namespace koa::tool
