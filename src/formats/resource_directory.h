#pragma once

#include "formats/byte_view.h"
#include "formats/pe_image.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace koa::formats {

// A language as stored in a resource tree (a Windows LANGID).
struct ResourceLanguage {
    uint16_t id;
};

// The resource tree of a PE image, looked up by numeric ids on its three levels: type, name,
// language. Entries named by strings are never matched. Ids are found as the Windows loader finds
// them, by binary search among a table's id entries. Only the three levels are descended, so a
// tree whose offsets point back at itself cannot make a lookup loop.
class ResourceDirectory {
  public:
    // Empty when the image has no resource data.
    static std::optional<ResourceDirectory> Of(const PeImage& image);

    // The languages stored for a resource, in the order of the file.
    std::vector<ResourceLanguage> Languages(uint16_t type, uint16_t name) const;
    // The data of one resource; empty when it is absent or its data lies outside the image.
    std::optional<ByteView> Find(uint16_t type, uint16_t name, uint16_t language) const;

  private:
    ResourceDirectory(const PeImage& image, ByteView tree) : image_(image), tree_(tree) {}

    struct Entry {
        uint32_t id;
        uint32_t target; // offset in the tree, with kSubdirectory set for a table
    };
    std::vector<Entry> IdEntries(uint32_t table) const;
    std::optional<Entry> FindEntry(uint32_t table, uint16_t id) const;
    std::optional<uint32_t> Subtable(uint32_t table, uint16_t id) const;
    std::optional<uint32_t> NameTable(uint16_t type, uint16_t name) const;

    PeImage image_;
    ByteView tree_;
};

} // namespace koa::formats
