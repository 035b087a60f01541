#pragma once

#include <algorithm>
#include <string>

namespace koa::platform {

// A path as the library's callers write it, with '\' separators as on Windows, in the form the
// POSIX calls take.
inline std::string HostPath(const char* path) {
    std::string host(path);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

} // namespace koa::platform
