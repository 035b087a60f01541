#include "version_test_files.h"

#include "version/elf_file.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace version_test;
using koa::version::FindVersionResource;
using koa::version::QueryFixedFileInfo;

#if defined(KOA_TEST_SAMPLE_RES) || defined(KOA_TEST_WINDRES_RES)

namespace {

#ifdef KOA_TEST_SAMPLE_RES
const char* const kResFile = KOA_TEST_SAMPLE_RES;
#else
const char* const kResFile = KOA_TEST_WINDRES_RES;
#endif

void Put16(Bytes& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Offset of the node whose key is the ASCII text key.
size_t NodeOf(const Bytes& block, const std::string& key) {
    Bytes pattern;
    for (char c : key + '\0')
        pattern.insert(pattern.end(), {static_cast<uint8_t>(c), 0});
    auto at = std::search(block.begin(), block.end(), pattern.begin(), pattern.end());
    EXPECT_NE(at, block.end()) << key;
    return static_cast<size_t>(at - block.begin()) - 6;
}

class MalformedBlock : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(block.empty()); }

    bool HasFixed() const { return QueryFixedFileInfo(Span(block)).has_value(); }
    std::optional<std::string> Value(const std::string& name) const {
        return Text(block, (kSampleTable + name).c_str());
    }

    Bytes block = VersionBlockOf(ReadBytes(kResFile));
};

} // namespace

TEST_F(MalformedBlock, FixedPartOfTheWrongSizeIsNoFixedPartWhateverItsSignature) {
    Put16(block, 2, 48);
    EXPECT_FALSE(HasFixed());
    Put16(block, 2, 52);
    ASSERT_TRUE(HasFixed());
    size_t signature = NodeOf(block, "VS_VERSION_INFO") + 40;
    block[signature] ^= 0xFF;
    EXPECT_TRUE(HasFixed());
    EXPECT_EQ(Value("FileVersion"), "1, 2, 3, 4");
}

TEST_F(MalformedBlock, LengthsBeyondTheParentOrTooShortEndTheSearch) {
    size_t table = NodeOf(block, "StringFileInfo");
    Put16(block, table, 0xFFF0);
    EXPECT_FALSE(Value("FileVersion"));
    EXPECT_TRUE(HasFixed());
    Put16(block, table, static_cast<uint16_t>(block.size() - table));
    ASSERT_EQ(Value("FileVersion"), "1, 2, 3, 4");

    // A node of length 0 would make a walk that trusts it go round forever.
    size_t first = NodeOf(block, "FileVersion");
    Put16(block, first, 0);
    EXPECT_FALSE(Value("FileVersion"));
    EXPECT_FALSE(Value("PrivateBuild"));
}

TEST_F(MalformedBlock, KeysCutByTheirNodeAreNotRead) {
    size_t node = NodeOf(block, "FileVersion");
    Put16(block, node, 6 + 10);
    EXPECT_FALSE(Value("FileVersion"));
    Put16(block, 0, 20);
    EXPECT_FALSE(HasFixed());
}

TEST_F(MalformedBlock, TextLengthBeyondItsNodeIsCutAtTheNode) {
    Put16(block, NodeOf(block, "FileVersion") + 2, 200);
    EXPECT_EQ(Value("FileVersion"), "1, 2, 3, 4");
    EXPECT_EQ(Value("PrivateBuild"), "lab test");
}

TEST(MalformedFiles, TruncatedResourceFilesHoldNoVersionResource) {
    Bytes file = ReadBytes(kResFile);
    Bytes block = VersionBlockOf(file);
    ASSERT_FALSE(block.empty());
    size_t entryEnd = 64 + block.size();
    for (size_t size = 0; size < file.size(); ++size) {
        Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(FindVersionResource(Span(prefix)).has_value(), size >= entryEnd) << size;
        Bytes cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size % block.size()));
        EXPECT_FALSE(QueryFixedFileInfo(Span(cut))) << size;
        EXPECT_FALSE(Text(cut, "\\StringFileInfo\\040904B0\\Empty")) << size;
    }
}

TEST(MalformedFiles, ResEntriesWithImpossibleSizesEndTheWalk) {
    Bytes file = ReadBytes(kResFile);
    Bytes bad = file;
    Put16(bad, 32 + 4, 8); // header size of the version entry
    EXPECT_FALSE(FindVersionResource(Span(bad)));
    bad = file;
    Put16(bad, 32 + 2, 0x7FFF); // data size far beyond the file
    EXPECT_FALSE(FindVersionResource(Span(bad)));
}

#endif

#if defined(KOA_TEST_SAMPLE_RES)
namespace {

// Where an ELF file of either class keeps what the tests damage.
struct ElfLayout {
    size_t width, tableOffset, namesIndex, entrySize, sectionOffset, sectionSize;
};
ElfLayout LayoutOf(const Bytes& elf) {
    if (elf.size() > 4 && elf[4] == 1)
        return {4, 32, 50, 40, 16, 20};
    return {8, 40, 62, 64, 24, 32};
}

uint64_t ReadWord(const Bytes& b, const ElfLayout& layout, size_t at) {
    uint64_t v = 0;
    for (size_t i = 0; i < layout.width && at + i < b.size(); ++i)
        v |= uint64_t{b[at + i]} << (8 * i);
    return v;
}

void WriteWord(Bytes& b, const ElfLayout& layout, size_t at, uint64_t v) {
    for (size_t i = 0; i < layout.width; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Offset of the section header of the resource section.
size_t ResourceSectionHeader(const Bytes& elf, const ElfLayout& layout) {
    auto section = koa::version::FindElfSection(Span(elf), ".koa_res");
    EXPECT_TRUE(section);
    uint64_t offset = section ? static_cast<uint64_t>(section->data() - elf.data()) : 0;
    uint64_t table = ReadWord(elf, layout, layout.tableOffset);
    for (size_t entry = table; entry + layout.entrySize <= elf.size(); entry += layout.entrySize) {
        if (ReadWord(elf, layout, entry + layout.sectionOffset) == offset)
            return entry;
    }
    ADD_FAILURE() << "no section header found";
    return 0;
}

} // namespace

TEST(MalformedFiles, ElfSectionsOutsideTheFileHoldNothing) {
    Bytes elf = ReadBytes(KOA_TEST_SAMPLE_LIBRARY);
    ElfLayout layout = LayoutOf(elf);
    size_t header = ResourceSectionHeader(elf, layout);
    ASSERT_FALSE(VersionBlockOf(elf).empty());
    uint64_t huge = ~uint64_t{0} >> (64 - 8 * layout.width);
    Bytes bad = elf;
    WriteWord(bad, layout, header + layout.sectionOffset, elf.size() + 16);
    EXPECT_TRUE(VersionBlockOf(bad).empty());
    bad = elf;
    WriteWord(bad, layout, header + layout.sectionSize, huge - 8);
    EXPECT_TRUE(VersionBlockOf(bad).empty());
    bad = elf;
    WriteWord(bad, layout, layout.tableOffset, huge - 100);
    EXPECT_TRUE(VersionBlockOf(bad).empty());
    bad = elf;
    bad[layout.namesIndex] = 0xFE; // section names in a section that does not exist
    bad[layout.namesIndex + 1] = 0x7F;
    EXPECT_TRUE(VersionBlockOf(bad).empty());
}

TEST(MalformedFiles, TruncatedElfFilesHoldNoVersionResource) {
    Bytes elf = ReadBytes(KOA_TEST_SAMPLE_LIBRARY);
    size_t table = ReadWord(elf, LayoutOf(elf), LayoutOf(elf).tableOffset); // comes last
    for (size_t size = 0; size < elf.size(); size += (size < table ? 7 : 1)) {
        Bytes prefix(elf.begin(), elf.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_TRUE(VersionBlockOf(prefix).empty()) << size;
    }
}
#endif
