#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace koa::platform {

// The longest path that the Windows file functions taking ANSI paths accept: MAX_PATH less the
// terminating zero.
inline constexpr size_t kMaxPathLength = 259;

// A path as the library's callers write it, with Windows rules, in the form the POSIX calls take:
// every '\' becomes '/'. Nothing for a path that names no file on Linux, rather than a different
// file: an empty path, one longer than kMaxPathLength, one beginning with '<' (the mark of a value
// that is not configured), a network path (two separators first) and a path on a drive ("C:\x",
// or any relative path whose first part holds a ':'), which would otherwise name something
// relative to the working directory.
std::optional<std::string> HostPath(const char* path);

} // namespace koa::platform
