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

uint32_t Get32(const Bytes& b, uint32_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
}
template <uint32_t width = 4> void Put(Bytes& b, uint32_t at, uint32_t v) {
    for (uint32_t i = 0; i < width; ++i)
        b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// File offsets in the resource tree, found by following it from the root.
uint32_t BlockTable(const Bytes& b) {
    return kRsrc + (Get32(b, kRsrc + 20) & ~kTable);
}
uint32_t BlockOneLanguages(const Bytes& b) {
    return kRsrc + (Get32(b, BlockTable(b) + 20) & ~kTable);
}
uint32_t BlockOneDataEntry(const Bytes& b) {
    return kRsrc + Get32(b, BlockOneLanguages(b) + 20);
}
uint32_t BlockOneData(const Bytes& b) {
    return Get32(b, BlockOneDataEntry(b)) - kRsrcRva + kRsrc;
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
    using L = Left;
    static const std::vector<Damage> damages{
        {"type-entry-to-root", [](Bytes& b) { Put(b, kRsrc + 20, kTable); }, L::NoString, true},
        {"block-entry-to-root", [](Bytes& b) { Put(b, BlockTable(b) + 20, kTable); },
         L::SecondBlock, true},
        {"language-entry-to-table",
         [](Bytes& b) { Put(b, BlockOneLanguages(b) + 20, Get32(b, kRsrc + 20)); }, L::SecondBlock,
         true},
        {"entry-counts-past-tree",
         [](Bytes& b) {
             Put(b, kRsrc + 12, 0xFFFFFFFFu);
             Put<2>(b, BlockTable(b) + 14, 0xFFFF);
         },
         L::NoString, true},
        {"data-outside-image", [](Bytes& b) { Put(b, BlockOneDataEntry(b), 0xFFFFFF00u); },
         L::SecondBlock, false},
        {"data-size-past-section", [](Bytes& b) { Put(b, BlockOneDataEntry(b) + 4, 0xFFFFFFF0u); },
         L::SecondBlock, false},
        {"string-length-past-block", [](Bytes& b) { Put<2>(b, BlockOneData(b), 0xFFFF); },
         L::SecondBlock, false},
        {"section-data-past-file", [](Bytes& b) { Put(b, kSections + 20, 0x7FFFFF00u); },
         L::NoString, false},
        {"resource-directory-outside-sections",
         [](Bytes& b) { Put(b, kOptionalHeader + 112 + 16, 0x9000); }, L::NoString, true},
        {"no-data-directories", [](Bytes& b) { Put(b, kOptionalHeader + 108, 0); }, L::NoString,
         true},
        // The resource section's header moved behind one of a section that ends where it starts.
        {"section-ending-where-resources-start",
         [](Bytes& b) {
             std::copy_n(&b.at(kSections), 40, &b.at(kSections + 40));
             for (uint32_t field : {8, 16}) // virtual and raw size
                 Put(b, kSections + field, 0x100);
             Put(b, kSections + 12, kRsrcRva - 0x100);
             Put<2>(b, 0x46, 2);
         },
         L::All, false},
        {"no-mz", [](Bytes& b) { Put<2>(b, 0, 0); }, L::NoImage, false},
        {"header-offset-past-end", [](Bytes& b) { Put<2>(b, 0x3E, 0xFFFF); }, L::NoImage, false},
        {"no-pe-signature", [](Bytes& b) { Put<2>(b, 0x40, 0); }, L::NoImage, false},
        {"unknown-optional-header", [](Bytes& b) { Put<2>(b, 0x58, 0x107); }, L::NoImage, false},
        {"optional-header-too-small", [](Bytes& b) { Put<2>(b, 0x54, 8); }, L::NoImage, false},
        {"section-table-past-end", [](Bytes& b) { Put<2>(b, 0x46, 0xFFFF); }, L::NoImage, false},
    };
    return damages;
}

} // namespace koa::test
