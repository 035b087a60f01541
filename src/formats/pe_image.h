#pragma once

#include "formats/byte_source.h"
#include "formats/byte_view.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace koa::formats {

// The headers and section table of a PE32 or PE32+ image. Addresses relative to the loaded image
// (RVAs) are translated to the bytes of the section holding them, which are read from the file
// only when they are asked for: the file must outlive the image.
class PeImage {
  public:
    static constexpr unsigned kResourceDirectory = 2;

    // Empty when the file does not begin with the headers of a PE image.
    static std::optional<PeImage> Parse(ByteSource& file);

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
    // A section's file data: what the loader maps of it, as far as the file holds it.
    struct Section {
        uint32_t virtualAddress;
        uint64_t fileOffset;
        uint64_t length;
    };

    PeImage() = default;
    bool ReadSections(const FilePiece& headers, uint64_t tableOffset, uint16_t count);
    std::optional<ByteView> DataAt(uint32_t rva) const;

    ByteSource* file_ = nullptr;
    uint16_t machine_ = 0;
    bool is64Bit_ = false;
    std::vector<DataDirectory> directories_;
    std::vector<Section> sections_;
};

} // namespace koa::formats
