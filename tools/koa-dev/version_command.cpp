#include "version_command.h"

#include "version/file_version_info.h"

#include <cstdio>

namespace koa::tool {

namespace {

std::string Dotted(const FileVersionInfo::Version& version) {
    std::string text;
    for (int i = 0; i < version.GetSize(); ++i)
        text += (i ? "." : "") + std::to_string(version[i]);
    return text;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

int Show(const Arguments& args, Streams& streams) {
    if (args.empty())
        throw UsageError("no FILE given");
    int code = kSuccess;
    for (const std::string& file : args) {
        const FileVersionInfo info(file.c_str());
        if (!info.valid) {
            streams.err << "koa-dev version: " << file << ": no version information\n";
            code = kFailure;
            continue;
        }
        const std::string kind = info.BuildFlagsText(false).CStr();
        streams.out << file << ":\n"
                    << "  file version     " << Dotted(info.fileVersion) << "\n"
                    << "  product version  " << Dotted(info.productVersion) << "\n"
                    << "  flags            " << Hex(info.fileFlags) << "\n"
                    << "  build            " << (kind.empty() ? "release" : kind) << "\n"
                    << "  " << info.Description().CStr();
    }
    return code;
}

} // namespace

Command VersionCommand() {
    return Command{
        "version",
        "Show the version information of library files.",
        "FILE...",
        "Prints, for each FILE, its file and product versions, its file flags, its build kind\n"
        "(Pre-Release, Private-Build, Special-Build, or release) and the description line the\n"
        "library reports for it. Exits with 1 when a FILE has no version information.\n",
        Show,
        {}};
}

} // namespace koa::tool
