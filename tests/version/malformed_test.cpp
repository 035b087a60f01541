#include "version_test_files.h"

#include "formats/elf_file.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace version_test;
using koa::formats::FindVersionResource;
using koa::formats::QueryFixedFileInfo;

#if defined(KOA_TEST_SAMPLE_RES) || defined(KOA_TEST_WINDRES_RES)

namespace {

#ifdef KOA_TEST_SAMPLE_RES
const char* const kResFile = KOA_TEST_SAMPLE_RES;
#else
const char* const kResFile = KOA_TEST_WINDRES_RES;
#endif

// Offset of the node whose key is the ASCII text key.
size_t NodeOf(const Bytes& block, const std::string& key) {
    Bytes pattern;
    for (char c : key + '\0')
        pattern.insert(pattern.end(), {static_cast<uint8_t>(c), 0});
    auto at = std::search(block.begin(), block.end(), pattern.begin(), pattern.end());
    EXPECT_NE(at, block.end()) << key;
    return static_cast<size_t>(at - block.begin()) - 6;
}

} // namespace

// A 16-bit field of a node of the sample's version block changed, and what is read afterwards:
// whether the fixed part, and the texts of FileVersion and PrivateBuild (kAny: not checked).
TEST(MalformedBlock, DamagedNodesAreReadOnlyWithinTheirBounds) {
    const char* const kAny = "any";
    const Bytes sound = VersionBlockOf(ReadBytes(kResFile));
    ASSERT_FALSE(sound.empty());
    const size_t table = NodeOf(sound, "040904b0");
    const std::tuple<const char*, const char*, size_t, uint64_t, bool, const char*, const char*>
        cases[] = {
            {"fixed part too small", "VS_VERSION_INFO", 2, 48, false, kAny, kAny},
            {"fixed part with a wrong signature", "VS_VERSION_INFO", 40, 0, true, "1, 2, 3, 4",
             kAny},
            {"root cuts its key", "VS_VERSION_INFO", 0, 20, false, kAny, kAny},
            {"table longer than its parent", "StringFileInfo", 0, 0xFFF0, true, nullptr, kAny},
            // Grown past the end of StringFileInfo, into VarFileInfo: still inside the block, so
            // only its parent's bound can stop it.
            {"child past its parent", "040904b0", 0, ReadWord(sound, 2, table) + 8u, true, nullptr,
             nullptr},
            // A walk that trusted a length of 0 would go round forever.
            {"node of length 0", "FileVersion", 0, 0, true, nullptr, nullptr},
            {"node cuts its key", "FileVersion", 0, 16, true, nullptr, kAny},
            {"text longer than its node", "FileVersion", 2, 200, true, "1, 2, 3, 4", "lab test"}};
    for (const auto& [what, node, field, value, fixed, fileVersion, privateBuild] : cases) {
        SCOPED_TRACE(what);
        Bytes block = sound;
        WriteWord(block, 2, NodeOf(block, node) + field, value);
        EXPECT_EQ(QueryFixedFileInfo(Span(block)).has_value(), fixed);
        for (auto [name, expected] :
             {std::pair("FileVersion", fileVersion), {"PrivateBuild", privateBuild}}) {
            auto text = Text(block, ("\\StringFileInfo\\040904B0\\" + std::string(name)).c_str());
            if (expected != kAny) {
                EXPECT_EQ(text, expected ? std::optional<std::string>(expected) : std::nullopt)
                    << name;
            }
        }
    }
}

TEST(MalformedFiles, ResourceFilesAreReadOnlyWithinTheirBounds) {
    // A child with an empty key before the one asked for, whose empty value ends the block.
    const Bytes tiny = {32, 0, 0, 0, 1,  0, 'A', 0, 'B', 0, 0,   0, 8, 0, 0, 0,
                        1,  0, 0, 0, 12, 0, 0,   0, 1,   0, 'C', 0, 0, 0, 0, 0};
    EXPECT_EQ(Text(tiny, "\\C"), "");
    Bytes ansi = tiny; // a 16-bit block, whose key begins where a 32-bit one has its type
    ansi.at(4) = ' ';
    EXPECT_EQ(Text(ansi, "\\C"), std::nullopt);
    EXPECT_EQ(Span(tiny).From(32).value().Size(), 0u); // the view from the end is empty
    EXPECT_FALSE(Span(tiny).From(33));
    const Bytes file = ReadBytes(kResFile);
    const Bytes block = VersionBlockOf(file);
    ASSERT_FALSE(block.empty());
    const size_t entryEnd = 64 + block.size();
    for (size_t size = 0; size < file.size(); ++size) {
        Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(FindVersionResource(Span(prefix)).has_value(), size >= entryEnd) << size;
        Bytes cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size % block.size()));
        EXPECT_FALSE(QueryFixedFileInfo(Span(cut))) << size;
        EXPECT_FALSE(Text(cut, "\\StringFileInfo\\040904B0\\Empty")) << size;
    }
    // A resource named by a string before the version resource is passed over.
    Bytes named = file, entry = {0, 0, 0, 0, 36, 0, 0, 0, 'X', 0, 'Y', 0, 0, 0, 0xFF, 0xFF, 5, 0};
    entry.resize(36);
    named.insert(named.begin() + 32, entry.begin(), entry.end());
    EXPECT_EQ(VersionBlockOf(named), block);
    // Of two version resources of one language, the first is read.
    Bytes twice = file;
    twice.insert(twice.end(), file.begin() + 32, file.end());
    twice.at(file.size() + 32 + 40) ^= 1; // the second one's fixed part
    EXPECT_EQ(VersionBlockOf(twice), block);
    // The version entry's header size too small for a header, its data size beyond the file.
    for (auto [at, value] : {std::pair<size_t, uint16_t>(36, 8), {34, 0x7FFF}}) {
        Bytes bad = file;
        WriteWord(bad, 2, at, value);
        EXPECT_FALSE(FindVersionResource(Span(bad))) << at;
    }
}

#endif

#if defined(KOA_TEST_SAMPLE_RES)
TEST(MalformedFiles, CutElfFilesOrSectionsOutsideThemHoldNothing) {
    const Bytes elf = ReadBytes(KOA_TEST_SAMPLE_LIBRARY);
    // Word width, where the file header keeps the section table and the names index, and
    // where a section header keeps its size, offset and size.
    struct Layout {
        size_t width, tableOffset, namesIndex, entrySize, sectionOffset, sectionSize;
    };
    const Layout l = elf.at(4) == 1 ? Layout{4, 32, 50, 40, 16, 20} : Layout{8, 40, 62, 64, 24, 32};
    auto section = koa::formats::FindElfSection(Span(elf), ".koa_res");
    ASSERT_TRUE(section);
    const size_t table = ReadWord(elf, l.width, l.tableOffset); // comes last in the file
    size_t header = table;
    while (header + l.entrySize <= elf.size() &&
           ReadWord(elf, l.width, header + l.sectionOffset) !=
               static_cast<uint64_t>(section->Data() - elf.data()))
        header += l.entrySize;
    ASSERT_LE(header + l.entrySize, elf.size()) << "no section header found";

    const uint64_t huge = ~uint64_t{0} >> (64 - 8 * l.width);
    const std::tuple<const char*, size_t, size_t, uint64_t> damages[] = {
        {"section past the end", header + l.sectionOffset, l.width, elf.size() + 16},
        {"section size", header + l.sectionSize, l.width, huge - 8},
        {"section table", l.tableOffset, l.width, huge - 100},
        {"names in a section that does not exist", l.namesIndex, 2, 0x7FFE},
        {"count that leaves the section out", l.namesIndex - 2, 2, (header - table) / l.entrySize},
        {"names that end before the name's terminator",
         table + static_cast<size_t>(ReadWord(elf, 2, l.namesIndex)) * l.entrySize + l.sectionSize,
         l.width, ReadWord(elf, 4, header) + 8}};
    for (const auto& [what, at, width, value] : damages) {
        Bytes bad = elf;
        WriteWord(bad, width, at, value);
        EXPECT_TRUE(VersionBlockOf(bad).empty()) << what;
    }
    // Left readable: an earlier section's name beyond the names, and the count and names index
    // kept in section 0, as in files with very many sections.
    Bytes renamed = elf, counted = elf, indexed = elf;
    WriteWord(renamed, 4, table + l.entrySize, 0xFFFFFF00);
    WriteWord(counted, l.width, table + l.sectionSize, ReadWord(elf, 2, l.namesIndex - 2));
    WriteWord(counted, 2, l.namesIndex - 2, 0);
    WriteWord(indexed, 4, table + (l.width == 4 ? 24 : 40), ReadWord(elf, 2, l.namesIndex));
    WriteWord(indexed, 2, l.namesIndex, 0xFFFF);
    for (const Bytes& readable : {renamed, counted, indexed})
        EXPECT_EQ(VersionBlockOf(readable), VersionBlockOf(elf));
    for (size_t size = 0; size < elf.size(); size += (size < table ? 7 : 1)) {
        Bytes prefix(elf.begin(), elf.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_TRUE(VersionBlockOf(prefix).empty()) << size;
    }
}
#endif
