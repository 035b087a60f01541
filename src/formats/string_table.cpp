#include "formats/string_table.h"

namespace koa::formats {

namespace {

constexpr unsigned kStringsPerBlock = 16;
constexpr uint16_t kNeutral = 0x0000;
constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kEnglish = 0x0009;

} // namespace

// As for a thread that asks for no particular language: the neutral table first, then the
// user's language, which here is always US English, then English without a region; failing
// those, the first language stored.
std::optional<uint16_t> ChooseLanguage(const std::vector<ResourceLanguage>& stored) {
    for (uint16_t wanted : {kNeutral, kEnglishUs, kEnglish}) {
        for (const ResourceLanguage& language : stored) {
            if (language.id == wanted)
                return wanted;
        }
    }
    if (stored.empty())
        return std::nullopt;
    return stored.front().id;
}

// A block holds 16 strings, each a count of UTF-16 units followed by that many units.
std::u16string FindString(const ResourceDirectory& resources, uint32_t id) {
    const uint16_t low = static_cast<uint16_t>(id);
    const uint16_t block = static_cast<uint16_t>(low / kStringsPerBlock + 1);
    auto language = ChooseLanguage(resources.Languages(kStringTableType, block));
    auto data = language ? resources.Find(kStringTableType, block, *language) : std::nullopt;
    if (!data)
        return {};
    uint64_t offset = 0;
    for (unsigned index = low % kStringsPerBlock; index > 0; --index) {
        auto length = data->U16(offset);
        if (!length)
            return {};
        offset += 2 + uint64_t{*length} * 2;
    }
    auto length = data->U16(offset);
    auto units = length ? data->Sub(offset + 2, uint64_t{*length} * 2) : std::nullopt;
    if (!units)
        return {};
    std::u16string text(*length, u'\0');
    for (uint16_t i = 0; i < *length; ++i)
        text[i] = static_cast<char16_t>(*units->U16(uint64_t{i} * 2));
    return text;
}

} // namespace koa::formats
