#include "platform/version_resources.h"

#include <windows.h>

#include <cstring>

namespace koa::platform {

std::vector<uint8_t> ReadFileVersionBlock(const char* path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return {};
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        block.clear();
    return block;
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
