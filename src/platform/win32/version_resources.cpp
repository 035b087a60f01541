#include "platform/version_resources.h"

#include <windows.h>

#include <cstring>

namespace koa::platform {

uint32_t FileVersionInfoSize(const char* path) {
    DWORD handle = 0;
    return GetFileVersionInfoSizeA(path, &handle);
}

bool ReadFileVersionInfo(const char* path, uint32_t size, void* data) {
    return GetFileVersionInfoA(path, 0, size, data) != FALSE;
}

bool QueryFixedFileInfo(const void* data, uint32_t, FixedFileInfo& info) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data, "\\", &value, &length) || length != sizeof(VS_FIXEDFILEINFO))
        return false;
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    info = {fixed.dwSignature,     fixed.dwStrucVersion,     fixed.dwFileVersionMS,
            fixed.dwFileVersionLS, fixed.dwProductVersionMS, fixed.dwProductVersionLS,
            fixed.dwFileFlagsMask, fixed.dwFileFlags,        fixed.dwFileOS,
            fixed.dwFileType,      fixed.dwFileSubtype,      fixed.dwFileDateMS,
            fixed.dwFileDateLS};
    return true;
}

bool QueryVersionString(const void* data, uint32_t, const char* path, std::string& text) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data, path, &value, &length))
        return false;
    const char* chars = static_cast<const char*>(value);
    text.assign(chars, value ? strnlen(chars, length) : 0);
    return true;
}

} // namespace koa::platform
