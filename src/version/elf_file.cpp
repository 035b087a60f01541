#include "version/elf_file.h"

#include <cstring>

namespace koa::version {

namespace {

constexpr uint8_t kMagic[4] = {0x7F, 'E', 'L', 'F'};
constexpr uint64_t kClassOffset = 4;
constexpr uint64_t kDataOffset = 5;
constexpr uint8_t kClass32 = 1;
constexpr uint8_t kClass64 = 2;
constexpr uint8_t kLittleEndian = 1;
constexpr uint32_t kNoBits = 8;
constexpr uint16_t kExtendedIndex = 0xFFFF;

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

bool ReadWord(const ByteSpan& file, const Layout& layout, uint64_t offset, uint64_t& value) {
    if (layout.wide)
        return file.Read(offset, value);
    uint32_t narrow = 0;
    bool ok = file.Read(offset, narrow);
    value = narrow;
    return ok;
}

class SectionTable {
  public:
    SectionTable(const ByteSpan& file, const Layout& layout) : file_(file), layout_(layout) {}

    bool Load() {
        uint16_t entrySize = 0;
        uint16_t count = 0;
        uint16_t namesIndex = 0;
        if (!ReadWord(file_, layout_, layout_.sectionTable, table_) ||
            !file_.Read(layout_.entrySize, entrySize) || !file_.Read(layout_.count, count) ||
            !file_.Read(layout_.namesIndex, namesIndex) || table_ > file_.size() ||
            entrySize < layout_.sectionLink + 4)
            return false;
        entrySize_ = entrySize;
        count_ = count;
        namesIndex_ = namesIndex;
        // Files with very many sections keep the real count and names index in section 0.
        Section first;
        if ((count_ == 0 || namesIndex_ == kExtendedIndex) && !(table_ != 0 && Read(0, first)))
            return false;
        if (count_ == 0)
            count_ = first.size;
        if (namesIndex_ == kExtendedIndex)
            namesIndex_ = first.link;
        return true;
    }

    uint64_t Count() const { return count_; }

    bool Read(uint64_t index, Section& section) const {
        uint64_t at = table_ + index * entrySize_;
        if (index >= file_.size() || !file_.Contains(at, entrySize_))
            return false;
        return file_.Read(at + layout_.sectionName, section.name) &&
               file_.Read(at + layout_.sectionType, section.type) &&
               ReadWord(file_, layout_, at + layout_.sectionOffset, section.offset) &&
               ReadWord(file_, layout_, at + layout_.sectionSize, section.size) &&
               file_.Read(at + layout_.sectionLink, section.link);
    }

    std::optional<ByteSpan> Names() const {
        Section names;
        if (!Read(namesIndex_, names) || names.type == kNoBits)
            return std::nullopt;
        return file_.Slice(names.offset, names.size);
    }

  private:
    ByteSpan file_;
    Layout layout_;
    uint64_t table_ = 0;
    uint64_t entrySize_ = 0;
    uint64_t count_ = 0;
    uint64_t namesIndex_ = 0;
};

bool NameEquals(const ByteSpan& names, uint32_t offset, std::string_view name) {
    if (!names.Contains(offset, name.size() + 1))
        return false;
    const uint8_t* text = names.data() + offset;
    return std::memcmp(text, name.data(), name.size()) == 0 && text[name.size()] == 0;
}

} // namespace

bool IsElfFile(const ByteSpan& bytes) {
    return bytes.Contains(0, sizeof kMagic) &&
           std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0;
}

std::optional<ByteSpan> FindElfSection(const ByteSpan& file, std::string_view name) {
    if (!IsElfFile(file) || !file.Contains(0, kDataOffset + 1) ||
        file.data()[kDataOffset] != kLittleEndian)
        return std::nullopt;
    uint8_t elfClass = file.data()[kClassOffset];
    if (elfClass != kClass32 && elfClass != kClass64)
        return std::nullopt;
    SectionTable table(file, elfClass == kClass64 ? kLayout64 : kLayout32);
    auto names = table.Load() ? table.Names() : std::nullopt;
    if (!names)
        return std::nullopt;
    for (uint64_t i = 1; i < table.Count(); ++i) {
        Section section;
        if (!table.Read(i, section))
            return std::nullopt;
        if (NameEquals(*names, section.name, name))
            return section.type == kNoBits ? std::nullopt
                                           : file.Slice(section.offset, section.size);
    }
    return std::nullopt;
}

} // namespace koa::version
