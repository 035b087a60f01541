#pragma once

#include "config/byte_view.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace koa::config {

// The headers and section table of a PE32 or PE32+ image, read from the file's bytes. Addresses
// relative to the loaded image (RVAs) are translated to the bytes of the section holding them.
class PeImage {
  public:
    static constexpr unsigned kResourceDirectory = 2;

    // Empty when the bytes do not begin with the headers of a PE image.
    static std::optional<PeImage> Parse(ByteView file);

    uint16_t Machine() const { return machine_; }
    bool Is64Bit() const { return is64Bit_; }

    struct DataDirectory {
        uint32_t rva;
        uint32_t size;
    };
    // Empty when the image has no such directory or it is zero.
    std::optional<DataDirectory> Directory(unsigned index) const;

    // The bytes at [rva, rva + size), when they lie inside the file data of one section.
    std::optional<ByteView> At(uint32_t rva, uint32_t size) const;
    // The bytes from rva to the end of its section's file data.
    std::optional<ByteView> From(uint32_t rva) const;

  private:
    struct Section {
        uint32_t virtualAddress;
        ByteView data;
    };

    PeImage() = default;
    bool ReadSections(ByteView file, uint64_t tableOffset, uint16_t count);
    const Section* SectionOf(uint32_t rva) const;

    uint16_t machine_ = 0;
    bool is64Bit_ = false;
    std::vector<DataDirectory> directories_;
    std::vector<Section> sections_;
};

} // namespace koa::config
