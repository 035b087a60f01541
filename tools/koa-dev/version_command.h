#pragma once

#include "command.h"
#include "json_report.h"

#include <cstdint>
#include <string>

namespace koa::tool {

// The version information of one file, as the library reads it.
struct FileVersionFacts {
    std::string file;
    bool valid = false;
    std::string fileVersion;    // dotted, "2.0.0.0"
    std::string productVersion; // dotted
    uint32_t flags = 0;
    std::string build;       // "release", or the build kinds: "Pre-Release, Private-Build"
    std::string description; // the library's description line, without its line feed
};

FileVersionFacts ReadFileVersionFacts(const std::string& file);

// {"file", "valid", "file_version", "product_version", "flags", "build", "description"}; the
// members after "valid" are null when the file has no version information.
Json ToJson(const FileVersionFacts& facts);

// "version": shows the version information of library files.
Command VersionCommand();

} // namespace koa::tool
