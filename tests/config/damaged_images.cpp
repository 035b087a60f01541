#include "damaged_images.h"

#include "rsc/string_resource_writer.h"

#include <algorithm>

namespace koa::test {

namespace {

constexpr uint32_t kRsrc = 0x200; // file offset of the writer's resource section
constexpr uint32_t kRsrcRva = 0x1000;
constexpr uint32_t kTable = 0x80000000u;
constexpr uint32_t kOptionalHeader = 0x58;
constexpr uint32_t kSections = kOptionalHeader + 240;

const auto Get32 = [](const Bytes& b, uint32_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
};
template <uint32_t width = 4> void Put(Bytes& b, uint32_t at, uint32_t v) {
    for (uint32_t i = 0; i < width; ++i)
        b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// File offsets in the resource tree, found by following it from the root.
const auto BlockTable = [](const Bytes& b) { return kRsrc + (Get32(b, kRsrc + 20) & ~kTable); };
const auto Languages = [](const Bytes& b) {
    return kRsrc + (Get32(b, BlockTable(b) + 20) & ~kTable);
};
const auto DataEntry = [](const Bytes& b) { return kRsrc + Get32(b, Languages(b) + 20); };
const auto Data = [](const Bytes& b) { return Get32(b, DataEntry(b)) - kRsrcRva + kRsrc; };

// The resource section's header moved behind one of a section that ends where it starts.
void SectionEndsAtResources(Bytes& b) {
    std::copy_n(&b.at(kSections), 40, &b.at(kSections + 40));
    for (uint32_t field : {8, 16}) // virtual and raw size
        Put(b, kSections + field, 0x100);
    Put(b, kSections + 12, kRsrcRva - 0x100);
    Put<2>(b, 0x46, 2);
}

} // namespace

const std::map<uint32_t, std::string>& UndamagedStrings() {
    static const std::map<uint32_t, std::string> strings{
        {1, "one"}, {2, "two"}, {100, "hundred"}, {101, std::string(300, 'm')}};
    return strings;
}

Bytes UndamagedImage() {
    koa::rsc::StringSettings settings;
    for (const auto& [id, text] : UndamagedStrings())
        settings[static_cast<uint16_t>(id)] = *koa::rsc::Utf8ToUtf16(text);
    return koa::rsc::WriteStringResourceImage(settings, koa::rsc::Machine::X86_64);
}

size_t ResourceDataEnd(const Bytes& image) {
    return kRsrc + Get32(image, kSections + 8);
}

const std::vector<Damage>& ResourceDamages() {
    constexpr Left none = Left::NoString, second = Left::SecondBlock, noImage = Left::NoImage;
    static const std::vector<Damage> damages{
        {"type-entry-to-root", [](auto& b) { Put(b, kRsrc + 20, kTable); }, none, true},
        {"block-entry-to-root", [](auto& b) { Put(b, BlockTable(b) + 20, kTable); }, second, true},
        {"language-entry-to-table",
         [](auto& b) { Put(b, Languages(b) + 20, Get32(b, kRsrc + 20)); }, second, true},
        {"entry-counts-past-tree",
         [](auto& b) {
             Put(b, kRsrc + 12, 0xFFFFFFFFu);
             Put<2>(b, BlockTable(b) + 14, 0xFFFF);
         },
         none, true},
        {"data-outside-image", [](auto& b) { Put(b, DataEntry(b), 0xFFFFFF00u); }, second, false},
        {"data-size-past-section", [](auto& b) { Put(b, DataEntry(b) + 4, 0xFFFFFFF0u); }, second,
         false},
        {"string-length-past-block", [](auto& b) { Put<2>(b, Data(b), 0xFFFF); }, second, false},
        {"section-data-past-file", [](auto& b) { Put(b, kSections + 20, 0x7FFFFF00u); }, none,
         false},
        {"resource-directory-outside-sections",
         [](auto& b) { Put(b, kOptionalHeader + 112 + 16, 0x9000); }, none, true},
        {"no-data-directories", [](auto& b) { Put(b, kOptionalHeader + 108, 0); }, none, true},
        {"two-data-directories", [](auto& b) { Put(b, kOptionalHeader + 108, 2); }, none, false},
        {"section-ending-where-resources-start", SectionEndsAtResources, Left::All, false},
        {"no-mz", [](auto& b) { Put<2>(b, 0, 0); }, noImage, false},
        {"header-offset-past-end", [](auto& b) { Put<2>(b, 0x3E, 0xFFFF); }, noImage, false},
        {"no-pe-signature", [](auto& b) { Put<2>(b, 0x40, 0); }, noImage, false},
        {"unknown-optional-header", [](auto& b) { Put<2>(b, 0x58, 0x107); }, noImage, false},
        {"optional-header-too-small", [](auto& b) { Put<2>(b, 0x54, 8); }, noImage, false},
        {"section-table-past-end", [](auto& b) { Put<2>(b, 0x46, 0xFFFF); }, noImage, false},
    };
    return damages;
}

} // namespace koa::test
