#pragma once

#include <koa_dev/tarray.h>
#include <koa_dev/tstring.h>

#include <cstdint>
#include <vector>

// The version resource of a library file on disk, read once at construction. Not polymorphic:
// MinGW would export the type information of a class with a virtual destructor.
class FileVersionInfo {
  public:
    using Version = TArray<unsigned short, 6, LV_uInt16Array**>;

    static constexpr uint32_t kPreRelease = 0x02;
    static constexpr uint32_t kPrivateBuild = 0x08;
    static constexpr uint32_t kSpecialBuild = 0x20;

    explicit FileVersionInfo(const char* fileName);
    FileVersionInfo(const FileVersionInfo&) = delete;
    FileVersionInfo& operator=(const FileVersionInfo&) = delete;
    ~FileVersionInfo();

    // "Library = '...', Version = '...'" with the build kinds, and a line feed; empty when the
    // file has no version resource.
    TString Description() const;
    // The trimmed value of the U.S. English, Unicode string table; empty when missing.
    TString StringValue(const char* name) const;
    // "Pre-Release", "Private-Build", "Special-Build" joined by ", ", optionally in parentheses.
    TString BuildFlagsText(bool parenthesised) const;

    std::vector<uint8_t> versionData;
    uint32_t versionDataSize = 0;
    bool valid = false;
    Version fileVersion;
    Version productVersion;
    uint32_t fileFlags = 0;
};
