#include "platform/version_resources.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

#include "version/version_block.h"
#include "version/version_resource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace koa::platform {

namespace {

// The file's version block, or nothing.
std::vector<uint8_t> ReadVersionBlock(const char* path) {
    const auto host = HostPath(path);
    auto read = host ? ReadRegularFile(*host, kMaxLibraryFileSize) : std::nullopt;
    const std::vector<uint8_t> file = read ? std::move(*read) : std::vector<uint8_t>();
    auto block = version::FindVersionResource(config::ByteView(file.data(), file.size()));
    if (!block || block->Size() > std::numeric_limits<uint32_t>::max())
        return {};
    return std::vector<uint8_t>(block->Data(), block->Data() + block->Size());
}

config::ByteView Span(const void* data, uint32_t size) {
    return data ? config::ByteView(static_cast<const uint8_t*>(data), size) : config::ByteView();
}

} // namespace

uint32_t FileVersionInfoSize(const char* path) {
    return static_cast<uint32_t>(ReadVersionBlock(path).size());
}

bool ReadFileVersionInfo(const char* path, uint32_t size, void* data) {
    std::vector<uint8_t> block = ReadVersionBlock(path);
    if (block.empty() || !data)
        return false;
    std::memcpy(data, block.data(), std::min<size_t>(size, block.size()));
    return true;
}

bool QueryFixedFileInfo(const void* data, uint32_t size, FixedFileInfo& info) {
    auto fixed = version::QueryFixedFileInfo(Span(data, size));
    if (fixed)
        info = *fixed;
    return fixed.has_value();
}

bool QueryVersionString(const void* data, uint32_t size, const char* path, std::string& text) {
    auto value = path ? version::QueryVersionText(Span(data, size), path) : std::nullopt;
    if (value)
        text = *value;
    return value.has_value();
}

} // namespace koa::platform
