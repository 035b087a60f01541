#pragma once

#include <cstdint>

namespace koa::formats {

// The fixed part of a version block (VS_FIXEDFILEINFO), field for field as Windows stores it.
struct FixedFileInfo {
    uint32_t signature;
    uint32_t structVersion;
    uint32_t fileVersionMS;
    uint32_t fileVersionLS;
    uint32_t productVersionMS;
    uint32_t productVersionLS;
    uint32_t fileFlagsMask;
    uint32_t fileFlags;
    uint32_t fileOS;
    uint32_t fileType;
    uint32_t fileSubtype;
    uint32_t fileDateMS;
    uint32_t fileDateLS;
};

} // namespace koa::formats
