#include "platform/files.h"

#include <windows.h>

namespace koa::platform {

bool FindAnyFile(const char* pattern) {
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

bool MakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) != 0;
}

bool IsHostRootedPath(const char*) {
    return false;
}

} // namespace koa::platform
