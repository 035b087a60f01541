#include "formats/elf_file.h"

#include <algorithm>
#include <cstring>

namespace koa::formats {

namespace {

constexpr uint8_t kMagic[4] = {0x7F, 'E', 'L', 'F'};
constexpr uint64_t kClassOffset = 4;
constexpr uint64_t kDataOffset = 5;
constexpr uint8_t kClass32 = 1;
constexpr uint8_t kClass64 = 2;
constexpr uint8_t kLittleEndian = 1;
constexpr uint32_t kNoBits = 8;
constexpr uint16_t kExtendedIndex = 0xFFFF;
constexpr uint64_t kFileHeaderSize = 64;
constexpr uint64_t kNamesBeforeTable = 4096;

// Where the fields that locate sections lie in the 32- and 64-bit layouts.
struct Layout {
    bool wide;
    uint64_t sectionTable, entrySize, count, namesIndex;
    uint64_t sectionName, sectionType, sectionOffset, sectionSize, sectionLink;
};
constexpr Layout kLayout32{false, 32, 46, 48, 50, 0, 4, 16, 20, 24};
constexpr Layout kLayout64{true, 40, 58, 60, 62, 0, 4, 24, 32, 40};

struct Section {
    uint32_t name = 0;
    uint32_t type = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t link = 0;
};

std::optional<uint64_t> ReadWord(const FilePiece& file, const Layout& layout, uint64_t offset) {
    if (layout.wide)
        return file.U64(offset);
    auto narrow = file.U32(offset);
    return narrow ? std::optional<uint64_t>(*narrow) : std::nullopt;
}

class SectionTable {
  public:
    SectionTable(ByteSource& file, const Layout& layout) : file_(file), layout_(layout) {}

    bool Load(const FilePiece& header) {
        const auto table = ReadWord(header, layout_, layout_.sectionTable);
        const auto entrySize = header.U16(layout_.entrySize);
        const auto count = header.U16(layout_.count);
        const auto namesIndex = header.U16(layout_.namesIndex);
        if (!table || !entrySize || !count || !namesIndex || *table > file_.Size() ||
            *entrySize < layout_.sectionLink + 4)
            return false;
        table_ = *table;
        entrySize_ = *entrySize;
        count_ = *count;
        namesIndex_ = *namesIndex;
        // Files with very many sections keep the real count and names index in section 0.
        Section first;
        if ((count_ == 0 || namesIndex_ == kExtendedIndex) && !(table_ != 0 && Read(0, first)))
            return false;
        if (count_ == 0)
            count_ = first.size;
        if (namesIndex_ == kExtendedIndex)
            namesIndex_ = first.link;
        // The whole table in one piece (no entry lies beyond the end of the file), with the bytes
        // just before it, where linkers put the section names.
        const uint64_t room = (file_.Size() - table_) / entrySize_ + 1;
        const uint64_t before = std::min(table_, kNamesBeforeTable);
        entries_ = file_.Piece(table_ - before, before + std::min(count_, room) * entrySize_);
        return true;
    }

    uint64_t Count() const { return count_; }

    bool Read(uint64_t index, Section& section) const {
        const uint64_t at = table_ + index * entrySize_;
        if (index >= file_.Size())
            return false;
        // An entry outside the table (a names index beyond the count) is read on its own.
        const FilePiece entry =
            entries_.Sub(at, entrySize_) ? entries_ : file_.Piece(at, entrySize_);
        if (!entry.Sub(at, entrySize_))
            return false;
        const auto name = entry.U32(at + layout_.sectionName);
        const auto type = entry.U32(at + layout_.sectionType);
        const auto offset = ReadWord(entry, layout_, at + layout_.sectionOffset);
        const auto size = ReadWord(entry, layout_, at + layout_.sectionSize);
        const auto link = entry.U32(at + layout_.sectionLink);
        if (!name || !type || !offset || !size || !link)
            return false;
        section = Section{*name, *type, *offset, *size, *link};
        return true;
    }

    // The contents of a section, when they lie wholly inside the file.
    std::optional<ByteView> Contents(const Section& section) const {
        return file_.Piece(section.offset, section.size).Sub(section.offset, section.size);
    }

    std::optional<ByteView> Names() const {
        Section names;
        if (!Read(namesIndex_, names) || names.type == kNoBits)
            return std::nullopt;
        return Contents(names);
    }

  private:
    ByteSource& file_;
    Layout layout_;
    FilePiece entries_;
    uint64_t table_ = 0;
    uint64_t entrySize_ = 0;
    uint64_t count_ = 0;
    uint64_t namesIndex_ = 0;
};

bool NameEquals(const ByteView& names, uint32_t offset, std::string_view name) {
    if (!names.Contains(offset, name.size() + 1))
        return false;
    const uint8_t* text = names.Data() + offset;
    return std::memcmp(text, name.data(), name.size()) == 0 && text[name.size()] == 0;
}

} // namespace

bool IsElfFile(const ByteView& bytes) {
    return bytes.Contains(0, sizeof kMagic) &&
           std::memcmp(bytes.Data(), kMagic, sizeof kMagic) == 0;
}

std::optional<ByteView> FindElfSection(ByteSource& file, std::string_view name) {
    const FilePiece header = file.Piece(0, kFileHeaderSize);
    const auto elfClass = header.U8(kClassOffset);
    if (!IsElfFile(header.Bytes()) || header.U8(kDataOffset) != kLittleEndian ||
        (elfClass != kClass32 && elfClass != kClass64))
        return std::nullopt;
    SectionTable table(file, elfClass == kClass64 ? kLayout64 : kLayout32);
    auto names = table.Load(header) ? table.Names() : std::nullopt;
    if (!names)
        return std::nullopt;
    for (uint64_t i = 1; i < table.Count(); ++i) {
        Section section;
        if (!table.Read(i, section))
            return std::nullopt;
        if (NameEquals(*names, section.name, name))
            return section.type == kNoBits ? std::nullopt : table.Contents(section);
    }
    return std::nullopt;
}

std::optional<ByteView> FindElfSection(const ByteView& file, std::string_view name) {
    MemorySource source(file);
    return FindElfSection(source, name);
}

} // namespace koa::formats
