#pragma once

// The file system, with Windows path rules: '\' and '/' both separate, the last component of a
// search may hold the wildcards '*' and '?'.

namespace koa::platform {

// As FindFirstFileA followed by FindClose: true when the search finds at least one entry.
bool FindAnyFile(const char* pattern);

// As CreateDirectoryA with default security: creates one directory.
bool MakeDirectory(const char* path);

// A path that the host system treats as absolute beyond the Windows forms (a drive or "\\"):
// on Linux a path beginning with a separator, '/' or '\'.
bool IsHostRootedPath(const char* path);

} // namespace koa::platform
