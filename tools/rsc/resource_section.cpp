#include "rsc/byte_writer.h"
#include "rsc/string_resource_writer.h"

#include <stdexcept>

namespace koa::rsc {

namespace {

constexpr uint32_t kStringTableType = 6;
constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint32_t kTableHeaderSize = 16;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr unsigned kStringsPerBlock = 16;

// The 16 strings of one block, each a count of UTF-16 units followed by the units.
using Block = std::vector<uint16_t>;

std::map<uint16_t, Block> Blocks(const StringSettings& strings) {
    std::map<uint16_t, std::map<unsigned, const std::u16string*>> byBlock;
    for (const auto& [id, text] : strings) {
        if (text.size() > 0xFFFF)
            throw std::length_error("a string resource holds at most 65535 UTF-16 units");
        byBlock[static_cast<uint16_t>(id / kStringsPerBlock + 1)][id % kStringsPerBlock] = &text;
    }
    std::map<uint16_t, Block> blocks;
    for (const auto& [number, texts] : byBlock) {
        Block& block = blocks[number];
        for (unsigned index = 0; index < kStringsPerBlock; ++index) {
            auto found = texts.find(index);
            const std::u16string empty;
            const std::u16string& text = found != texts.end() ? *found->second : empty;
            block.push_back(static_cast<uint16_t>(text.size()));
            block.insert(block.end(), text.begin(), text.end());
        }
    }
    return blocks;
}

void PutTable(ByteWriter& out, uint32_t offset, uint16_t idEntries) {
    out.Put16(offset + 14, idEntries);
}

void PutEntry(ByteWriter& out, uint32_t table, uint32_t index, uint32_t id, uint32_t target) {
    const uint32_t entry = table + kTableHeaderSize + index * kEntrySize;
    out.Put32(entry, id);
    out.Put32(entry + 4, target);
}

} // namespace

// Layout: the type table, the name table, one language table per block, the data entries,
// then the blocks' data, each aligned to four bytes.
std::vector<uint8_t> BuildStringResourceSection(const StringSettings& strings, uint16_t language,
                                                uint32_t sectionRva) {
    const std::map<uint16_t, Block> blocks = Blocks(strings);
    const uint32_t count = static_cast<uint32_t>(blocks.size());
    const uint32_t names = kTableHeaderSize + kEntrySize;
    const uint32_t languages = names + kTableHeaderSize + count * kEntrySize;
    const uint32_t languageTableSize = kTableHeaderSize + kEntrySize;
    const uint32_t dataEntries = languages + count * languageTableSize;
    uint32_t data = dataEntries + count * kDataEntrySize;

    ByteWriter out;
    PutTable(out, 0, 1);
    PutEntry(out, 0, 0, kStringTableType, names | kSubdirectory);
    PutTable(out, names, static_cast<uint16_t>(count));
    uint32_t index = 0;
    for (const auto& [number, block] : blocks) {
        const uint32_t languageTable = languages + index * languageTableSize;
        const uint32_t dataEntry = dataEntries + index * kDataEntrySize;
        PutEntry(out, names, index, number, languageTable | kSubdirectory);
        PutTable(out, languageTable, 1);
        PutEntry(out, languageTable, 0, language, dataEntry);
        const uint32_t size = static_cast<uint32_t>(block.size() * 2);
        out.Put32(dataEntry, sectionRva + data);
        out.Put32(dataEntry + 4, size);
        for (size_t i = 0; i < block.size(); ++i)
            out.Put16(data + i * 2, block[i]);
        data = AlignUp(data + size, 4);
        ++index;
    }
    out.Resize(data);
    return out.Take();
}

} // namespace koa::rsc
