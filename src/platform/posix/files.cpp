// 32-bit builds: directory entries and file status with 64-bit inode numbers, which readdir and
// lstat would otherwise refuse (EOVERFLOW) on large file systems.
#define _FILE_OFFSET_BITS 64

#include "platform/files.h"
#include "platform/posix/host_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <string>

namespace koa::platform {

namespace {

// '*' matches any run of characters, '?' exactly one.
bool Matches(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (star != nullptr) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// As on Windows, a pattern ending in ".*" also matches names without that dot ("*.*" matches
// every name).
bool MatchesWindowsPattern(const std::string& pattern, const char* name) {
    if (Matches(pattern.c_str(), name))
        return true;
    const size_t n = pattern.size();
    return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 &&
           Matches(pattern.substr(0, n - 2).c_str(), name);
}

bool AnyEntryMatches(const std::string& directory, const std::string& pattern) {
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr)
        return false;
    bool found = false;
    while (!found) {
        const dirent* entry = readdir(dir);
        if (entry == nullptr)
            break;
        found = MatchesWindowsPattern(pattern, entry->d_name);
    }
    closedir(dir);
    return found;
}

} // namespace

bool FindAnyFile(const char* pattern) {
    const auto host = HostPath(pattern);
    if (!host || host->back() == '/')
        return false;
    const std::string& path = *host;
    const size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find_first_of("*?") != std::string::npos)
        return AnyEntryMatches(directory, name);
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool MakeDirectory(const char* path) {
    const auto host = HostPath(path);
    return host && mkdir(host->c_str(), 0777) == 0;
}

bool IsHostRootedPath(const char* path) {
    return path[0] == '/' || path[0] == '\\';
}

} // namespace koa::platform
