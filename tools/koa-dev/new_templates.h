#pragma once

#include <string>
#include <vector>

namespace koa::tool {

enum class LibraryKind { kController, kDevice };

// One file of a new project: its path in the project and its text.
struct ProjectFile {
    std::string path;
    std::string text;
};

// The files of a new project for the library name, built against the package of the given
// major version.
std::vector<ProjectFile> ProjectFiles(LibraryKind kind, const std::string& name,
                                      const std::string& major);

} // namespace koa::tool
