#include "formats/resource_directory.h"

namespace koa::formats {

namespace {

constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint32_t kNamedEntry = 0x80000000u;
constexpr uint64_t kTableHeaderSize = 16;
constexpr uint64_t kEntrySize = 8;

} // namespace

std::optional<ResourceDirectory> ResourceDirectory::Of(const PeImage& image) {
    auto directory = image.Directory(PeImage::kResourceDirectory);
    if (!directory)
        return std::nullopt;
    auto tree = image.From(directory->rva);
    if (!tree)
        return std::nullopt;
    return ResourceDirectory(image, *tree);
}

// Entries whose table header or own bytes lie outside the tree are left out, so a count far
// larger than the tree costs no more than the tree's size.
std::vector<ResourceDirectory::Entry> ResourceDirectory::IdEntries(uint32_t table) const {
    std::vector<Entry> entries;
    auto named = tree_.U16(table + uint64_t{12});
    auto ids = tree_.U16(table + uint64_t{14});
    if (!named || !ids)
        return entries;
    const uint64_t first = table + kTableHeaderSize;
    const uint64_t end = first + (uint64_t{*named} + *ids) * kEntrySize;
    for (uint64_t offset = first; offset < end; offset += kEntrySize) {
        auto id = tree_.U32(offset);
        auto target = tree_.U32(offset + 4);
        if (!id || !target)
            break;
        if ((*id & kNamedEntry) == 0)
            entries.push_back({*id, *target});
    }
    return entries;
}

// An entry outside the tree ends the search as "not found".
std::optional<ResourceDirectory::Entry> ResourceDirectory::FindEntry(uint32_t table,
                                                                     uint16_t id) const {
    auto named = tree_.U16(table + uint64_t{12});
    auto ids = tree_.U16(table + uint64_t{14});
    if (!named || !ids)
        return std::nullopt;
    int64_t low = *named;
    int64_t high = int64_t{*named} + *ids - 1;
    while (low <= high) {
        const int64_t middle = (low + high) / 2;
        const uint64_t offset = table + kTableHeaderSize + uint64_t(middle) * kEntrySize;
        auto entryId = tree_.U32(offset);
        auto target = tree_.U32(offset + 4);
        if (!entryId || !target)
            return std::nullopt;
        const uint16_t found = static_cast<uint16_t>(*entryId);
        if (found == id)
            return Entry{*entryId, *target};
        if (found > id)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return std::nullopt;
}

std::optional<uint32_t> ResourceDirectory::Subtable(uint32_t table, uint16_t id) const {
    auto entry = FindEntry(table, id);
    if (!entry || (entry->target & kSubdirectory) == 0)
        return std::nullopt;
    return entry->target & ~kSubdirectory;
}

std::optional<uint32_t> ResourceDirectory::NameTable(uint16_t type, uint16_t name) const {
    auto names = Subtable(0, type);
    return names ? Subtable(*names, name) : std::nullopt;
}

std::vector<ResourceLanguage> ResourceDirectory::Languages(uint16_t type, uint16_t name) const {
    std::vector<ResourceLanguage> languages;
    if (auto table = NameTable(type, name)) {
        for (const Entry& entry : IdEntries(*table)) {
            if (entry.id <= 0xFFFF && (entry.target & kSubdirectory) == 0)
                languages.push_back({static_cast<uint16_t>(entry.id)});
        }
    }
    return languages;
}

std::optional<ByteView> ResourceDirectory::Find(uint16_t type, uint16_t name,
                                                uint16_t language) const {
    auto table = NameTable(type, name);
    if (!table)
        return std::nullopt;
    auto entry = FindEntry(*table, language);
    if (!entry || (entry->target & kSubdirectory))
        return std::nullopt;
    auto rva = tree_.U32(entry->target);
    auto size = tree_.U32(entry->target + uint64_t{4});
    if (!rva || !size)
        return std::nullopt;
    return image_.At(*rva, *size);
}

} // namespace koa::formats
