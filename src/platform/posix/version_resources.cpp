#include "platform/version_resources.h"
#include "platform/posix/file_source.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/version_block_cache.h"

#include "formats/version_block.h"
#include "formats/version_resource.h"

#include <limits>
#include <utility>
#include <vector>

namespace koa::platform {

namespace {

formats::ByteView Span(const void* data, uint32_t size) {
    return data ? formats::ByteView(static_cast<const uint8_t*>(data), size) : formats::ByteView();
}

} // namespace

std::vector<uint8_t> ReadFileVersionBlock(const char* path) {
    const auto host = HostPath(path);
    const auto stamp = host ? StatRegularFile(*host, kMaxLibraryFileSize) : std::nullopt;
    if (!stamp)
        return {};
    if (auto kept = FindVersionBlock(*stamp))
        return std::move(*kept);
    FileSource file(*host, kMaxLibraryFileSize);
    const auto block = file.IsOpen() ? formats::FindVersionResource(file) : std::nullopt;
    if (!block || block->Size() > std::numeric_limits<uint32_t>::max())
        return {};
    std::vector<uint8_t> bytes(block->Data(), block->Data() + block->Size());
    KeepVersionBlock(file.Stamp(), bytes);
    return bytes;
}

bool QueryFixedFileInfo(const void* data, uint32_t size, FixedFileInfo& info) {
    auto fixed = formats::QueryFixedFileInfo(Span(data, size));
    if (fixed)
        info = *fixed;
    return fixed.has_value();
}

bool QueryVersionString(const void* data, uint32_t size, const char* path, std::string& text) {
    auto value = path ? formats::QueryVersionText(Span(data, size), path) : std::nullopt;
    if (value)
        text = *value;
    return value.has_value();
}

} // namespace koa::platform
