#include "platform/posix/host_path.h"

#include <algorithm>
#include <cstring>

namespace koa::platform {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsWindowsOnly(const char* path) {
    if (IsSeparator(path[0]))
        return IsSeparator(path[1]);
    const size_t firstPart = std::strcspn(path, "\\/");
    return std::memchr(path, ':', firstPart) != nullptr;
}

} // namespace

std::optional<std::string> HostPath(const char* path) {
    if (path == nullptr || path[0] == '\0' || path[0] == '<' ||
        std::strlen(path) > kMaxPathLength || IsWindowsOnly(path))
        return std::nullopt;
    std::string host(path);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

} // namespace koa::platform
