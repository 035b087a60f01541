#include "formats/pe_image.h"

#include <algorithm>

namespace koa::formats {

namespace {

constexpr uint64_t kDosHeaderSize = 0x40;
constexpr uint16_t kDosMagic = 0x5A4D;    // "MZ"
constexpr uint32_t kPeSignature = 0x4550; // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint64_t kCoffHeaderSize = 20;
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint32_t kMaxDirectories = 16;

} // namespace

std::optional<PeImage> PeImage::Parse(ByteSource& file) {
    const FilePiece dos = file.Piece(0, kDosHeaderSize);
    auto dosMagic = dos.U16(0);
    auto peOffset = dos.U32(0x3C);
    if (dosMagic != kDosMagic || !peOffset)
        return std::nullopt;
    const uint64_t coff = uint64_t{*peOffset} + 4;
    const FilePiece fileHeader = file.Piece(*peOffset, 4 + kCoffHeaderSize);
    auto machine = fileHeader.U16(coff);
    auto sectionCount = fileHeader.U16(coff + 2);
    auto optionalSize = fileHeader.U16(coff + 16);
    if (fileHeader.U32(*peOffset) != kPeSignature || !machine || !sectionCount || !optionalSize)
        return std::nullopt;
    // The optional header and the section table behind it, in one piece.
    const uint64_t optional = coff + kCoffHeaderSize;
    const FilePiece headers = file.Piece(
        optional, std::max<uint64_t>(2, *optionalSize + *sectionCount * kSectionHeaderSize));
    auto magic = headers.U16(optional);
    if (!magic || (*magic != kPe32Magic && *magic != kPe32PlusMagic))
        return std::nullopt;

    PeImage image;
    image.file_ = &file;
    image.machine_ = *machine;
    image.is64Bit_ = *magic == kPe32PlusMagic;
    const uint64_t countOffset = optional + (image.is64Bit_ ? 108 : 92);
    auto count = headers.U32(countOffset);
    if (!count || countOffset + 4 > optional + *optionalSize)
        return std::nullopt;
    const uint64_t room = (optional + *optionalSize - countOffset - 4) / 8;
    const uint64_t directories = std::min<uint64_t>({*count, kMaxDirectories, room});
    for (uint64_t i = 0; i < directories; ++i) {
        auto rva = headers.U32(countOffset + 4 + i * 8);
        auto size = headers.U32(countOffset + 8 + i * 8);
        if (!rva || !size)
            return std::nullopt;
        image.directories_.push_back({*rva, *size});
    }
    if (!image.ReadSections(headers, optional + *optionalSize, *sectionCount))
        return std::nullopt;
    return image;
}

bool PeImage::ReadSections(const FilePiece& headers, uint64_t tableOffset, uint16_t count) {
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t header = tableOffset + i * kSectionHeaderSize;
        auto virtualSize = headers.U32(header + 8);
        auto virtualAddress = headers.U32(header + 12);
        auto rawSize = headers.U32(header + 16);
        auto rawOffset = headers.U32(header + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
            return false;
        // Only the part of the file data that the loader maps counts; what a truncated file
        // lacks is left out, and so is what lies beyond the longest piece read.
        const uint64_t mapped = *virtualSize != 0 ? std::min(*virtualSize, *rawSize) : *rawSize;
        const uint64_t rest = *rawOffset <= file_->Size() ? file_->Size() - *rawOffset : 0;
        sections_.push_back(
            {*virtualAddress, *rawOffset, std::min({mapped, rest, ByteSource::kMaxPiece})});
    }
    return true;
}

std::optional<PeImage::DataDirectory> PeImage::Directory(unsigned index) const {
    if (index >= directories_.size() || directories_[index].rva == 0)
        return std::nullopt;
    return directories_[index];
}

// The section data from rva on, read from the file.
std::optional<ByteView> PeImage::DataAt(uint32_t rva) const {
    for (const Section& section : sections_) {
        if (rva >= section.virtualAddress && rva - section.virtualAddress < section.length) {
            const ByteView data = file_->Piece(section.fileOffset, section.length).Bytes();
            return data.From(rva - section.virtualAddress);
        }
    }
    return std::nullopt;
}

std::optional<ByteView> PeImage::At(uint32_t rva, uint32_t size) const {
    auto data = DataAt(rva);
    return data ? data->Sub(0, size) : std::nullopt;
}

std::optional<ByteView> PeImage::From(uint32_t rva) const {
    return DataAt(rva);
}

} // namespace koa::formats
