#include "formats/res_file.h"

#include "formats/utf16.h"

#include <cstring>

namespace koa::formats {

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

std::optional<ResId> ReadId(const ByteView& header, uint64_t offset) {
    const auto first = header.U16(offset);
    if (!first)
        return std::nullopt;
    if (*first == kOrdinalMark) {
        const auto ordinal = header.U16(offset + 2);
        return ordinal ? std::optional<ResId>(ResId{*ordinal, offset + 4}) : std::nullopt;
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
    ByteView data;
    uint64_t next = 0;
};

std::optional<Entry> ReadEntry(const ByteView& file, uint64_t offset) {
    const auto dataSize = file.U32(offset);
    const auto headerSize = file.U32(offset + 4);
    if (!dataSize || !headerSize)
        return std::nullopt;
    auto header = file.Sub(offset, *headerSize);
    auto data = file.Sub(offset + uint64_t{*headerSize}, *dataSize);
    if (!header || !data)
        return std::nullopt;
    auto type = ReadId(*header, 8);
    auto name = type ? ReadId(*header, type->end) : std::nullopt;
    if (!name)
        return std::nullopt;
    const uint64_t tail = AlignToDword(name->end);
    const auto language =
        tail + kHeaderTailSize <= *headerSize ? header->U16(tail + kLanguageInTail) : std::nullopt;
    if (!language)
        return std::nullopt;
    return Entry{type->ordinal, name->ordinal, *language, *data,
                 AlignToDword(offset + uint64_t{*headerSize} + *dataSize)};
}

} // namespace

int VersionLanguageRank(uint16_t language) {
    return language == kUsEnglish ? 2 : language == kNeutral ? 1 : 0;
}

bool IsResFile(const ByteView& bytes) {
    return bytes.Contains(0, sizeof kEmptyEntry) &&
           std::memcmp(bytes.Data(), kEmptyEntry, sizeof kEmptyEntry) == 0;
}

std::optional<ByteView> FindResVersionResource(const ByteView& file) {
    std::optional<ByteView> found;
    int foundPreference = -1;
    for (uint64_t offset = 0; offset < file.Size();) {
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

} // namespace koa::formats
