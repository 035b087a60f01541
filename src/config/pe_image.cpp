#include "config/pe_image.h"

#include <algorithm>

namespace koa::config {

namespace {

constexpr uint16_t kDosMagic = 0x5A4D;    // "MZ"
constexpr uint32_t kPeSignature = 0x4550; // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint64_t kCoffHeaderSize = 20;
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint32_t kMaxDirectories = 16;

} // namespace

std::optional<PeImage> PeImage::Parse(ByteView file) {
    auto dosMagic = file.U16(0);
    auto peOffset = file.U32(0x3C);
    if (dosMagic != kDosMagic || !peOffset || file.U32(*peOffset) != kPeSignature)
        return std::nullopt;
    const uint64_t coff = uint64_t{*peOffset} + 4;
    auto machine = file.U16(coff);
    auto sectionCount = file.U16(coff + 2);
    auto optionalSize = file.U16(coff + 16);
    const uint64_t optional = coff + kCoffHeaderSize;
    auto magic = file.U16(optional);
    if (!machine || !sectionCount || !optionalSize || !magic)
        return std::nullopt;
    if (*magic != kPe32Magic && *magic != kPe32PlusMagic)
        return std::nullopt;

    PeImage image;
    image.machine_ = *machine;
    image.is64Bit_ = *magic == kPe32PlusMagic;
    const uint64_t countOffset = optional + (image.is64Bit_ ? 108 : 92);
    auto count = file.U32(countOffset);
    if (!count || countOffset + 4 > optional + *optionalSize)
        return std::nullopt;
    const uint64_t room = (optional + *optionalSize - countOffset - 4) / 8;
    const uint64_t directories = std::min<uint64_t>({*count, kMaxDirectories, room});
    for (uint64_t i = 0; i < directories; ++i) {
        auto rva = file.U32(countOffset + 4 + i * 8);
        auto size = file.U32(countOffset + 8 + i * 8);
        if (!rva || !size)
            return std::nullopt;
        image.directories_.push_back({*rva, *size});
    }
    if (!image.ReadSections(file, optional + *optionalSize, *sectionCount))
        return std::nullopt;
    return image;
}

bool PeImage::ReadSections(ByteView file, uint64_t tableOffset, uint16_t count) {
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t header = tableOffset + i * kSectionHeaderSize;
        auto virtualSize = file.U32(header + 8);
        auto virtualAddress = file.U32(header + 12);
        auto rawSize = file.U32(header + 16);
        auto rawOffset = file.U32(header + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
            return false;
        // Only the part of the file data that the loader maps counts; what a truncated file
        // lacks is left out.
        uint32_t mapped = *virtualSize != 0 ? std::min(*virtualSize, *rawSize) : *rawSize;
        ByteView data;
        if (auto rest = file.From(*rawOffset))
            data = *rest->Sub(0, std::min<uint64_t>(mapped, rest->Size()));
        sections_.push_back({*virtualAddress, data});
    }
    return true;
}

std::optional<PeImage::DataDirectory> PeImage::Directory(unsigned index) const {
    if (index >= directories_.size() || directories_[index].rva == 0)
        return std::nullopt;
    return directories_[index];
}

const PeImage::Section* PeImage::SectionOf(uint32_t rva) const {
    for (const Section& section : sections_) {
        if (rva >= section.virtualAddress && rva - section.virtualAddress < section.data.Size())
            return &section;
    }
    return nullptr;
}

std::optional<ByteView> PeImage::At(uint32_t rva, uint32_t size) const {
    const Section* section = SectionOf(rva);
    if (section == nullptr)
        return std::nullopt;
    return section->data.Sub(rva - section->virtualAddress, size);
}

std::optional<ByteView> PeImage::From(uint32_t rva) const {
    const Section* section = SectionOf(rva);
    if (section == nullptr)
        return std::nullopt;
    return section->data.From(rva - section->virtualAddress);
}

} // namespace koa::config
