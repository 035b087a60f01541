#pragma once

#include "formats/byte_source.h"
#include "formats/pe_image.h"
#include "formats/resource_directory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace koa::formats {

// The string resources of a library file held in memory, for systems without the Win32 loader.
class StringResourceImage {
  public:
    // Null when the bytes are not a PE image. An image without resources has no strings.
    static std::unique_ptr<StringResourceImage> FromBytes(std::vector<uint8_t> bytes);
    StringResourceImage(const StringResourceImage&) = delete;
    StringResourceImage& operator=(const StringResourceImage&) = delete;

    // As LoadStringA with a buffer of size bytes, in UTF-8: at most size - 1 bytes, whole
    // characters only, NUL-terminated. Returns the number of bytes copied.
    int LoadString(uint32_t id, char* buffer, int size) const;

  private:
    explicit StringResourceImage(std::vector<uint8_t> bytes)
        : bytes_(std::move(bytes)), source_(ByteView(bytes_.data(), bytes_.size())) {}

    std::vector<uint8_t> bytes_;
    MemorySource source_;
    std::optional<ResourceDirectory> resources_;
};

} // namespace koa::formats
