#include "version/res_file.h"

#include "version/utf16.h"

#include <cstring>

namespace koa::version {

namespace {

constexpr uint8_t kEmptyEntry[32] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0,
                                     0, 0, 0, 0, 0,    0, 0, 0, 0,    0,    0, 0, 0,    0,    0, 0};
constexpr uint16_t kOrdinalMark = 0xFFFF;
constexpr uint16_t kVersionType = 16;
constexpr uint16_t kVersionName = 1;
constexpr uint16_t kUsEnglish = 0x0409;
constexpr uint16_t kNeutral = 0;
// Data version, memory flags, language, version, characteristics.
constexpr uint64_t kHeaderTailSize = 16;
constexpr uint64_t kLanguageInTail = 6;

// A type or name: an ordinal, or a string (ordinal 0 is never a resource's type or name).
struct ResId {
    uint16_t ordinal = 0;
    uint64_t end = 0;
};

std::optional<ResId> ReadId(const ByteSpan& header, uint64_t offset) {
    uint16_t first = 0;
    if (!header.Read(offset, first))
        return std::nullopt;
    if (first == kOrdinalMark) {
        ResId id;
        if (!header.Read(offset + 2, id.ordinal))
            return std::nullopt;
        id.end = offset + 4;
        return id;
    }
    auto units = TerminatedUtf16Length(header, offset);
    if (!units)
        return std::nullopt;
    return ResId{0, offset + 2 * (*units + 1)};
}

struct Entry {
    uint16_t type = 0;
    uint16_t name = 0;
    uint16_t language = 0;
    ByteSpan data;
    uint64_t next = 0;
};

std::optional<Entry> ReadEntry(const ByteSpan& file, uint64_t offset) {
    uint32_t dataSize = 0;
    uint32_t headerSize = 0;
    if (!file.Read(offset, dataSize) || !file.Read(offset + 4, headerSize))
        return std::nullopt;
    auto header = file.Slice(offset, headerSize);
    auto data = file.Slice(offset + uint64_t{headerSize}, dataSize);
    if (!header || !data)
        return std::nullopt;
    auto type = ReadId(*header, 8);
    auto name = type ? ReadId(*header, type->end) : std::nullopt;
    if (!name)
        return std::nullopt;
    uint64_t tail = AlignToDword(name->end);
    Entry entry;
    if (tail + kHeaderTailSize > headerSize ||
        !header->Read(tail + kLanguageInTail, entry.language))
        return std::nullopt;
    entry.type = type->ordinal;
    entry.name = name->ordinal;
    entry.data = *data;
    entry.next = AlignToDword(offset + uint64_t{headerSize} + dataSize);
    return entry;
}

} // namespace

int VersionLanguageRank(uint16_t language) {
    return language == kUsEnglish ? 2 : language == kNeutral ? 1 : 0;
}

bool IsResFile(const ByteSpan& bytes) {
    return bytes.Contains(0, sizeof kEmptyEntry) &&
           std::memcmp(bytes.data(), kEmptyEntry, sizeof kEmptyEntry) == 0;
}

std::optional<ByteSpan> FindResVersionResource(const ByteSpan& file) {
    std::optional<ByteSpan> found;
    int foundPreference = -1;
    for (uint64_t offset = 0; offset < file.size();) {
        auto entry = ReadEntry(file, offset);
        if (!entry)
            break;
        if (entry->type == kVersionType && entry->name == kVersionName &&
            VersionLanguageRank(entry->language) > foundPreference) {
            found = entry->data;
            foundPreference = VersionLanguageRank(entry->language);
        }
        offset = entry->next;
    }
    return found;
}

} // namespace koa::version
