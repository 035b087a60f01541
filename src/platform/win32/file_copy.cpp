#include "platform/file_copy.h"

#include <windows.h>

namespace koa::platform {

bool SetNormalFileAttributes(const char* path) {
    return SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool CopyFileOver(const char* from, const char* to) {
    return CopyFileA(from, to, FALSE) != FALSE;
}

} // namespace koa::platform
