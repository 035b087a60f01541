#include "version_test_files.h"

#include <gtest/gtest.h>

using namespace version_test;
using koa::formats::QueryFixedFileInfo;

namespace {

// Queries with the text they find; keys match without regard to case.
const std::vector<std::pair<std::string, std::optional<std::string>>> kSampleTexts = {
    {"\\StringFileInfo\\040904B0\\FileVersion", "1, 2, 3, 4"},
    {"\\stringfileinfo\\040904b0\\fileversion", "1, 2, 3, 4"},
    {"StringFileInfo\\\\040904B0\\FILEVERSION\\", "1, 2, 3, 4"},
    {"\\StringFileInfo\\040904B0\\PrivateBuild", "lab test"},
    {"\\StringFileInfo\\040904B0\\Comments", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
    {"\\StringFileInfo\\040904B0\\Quoted", "say \"a\\b\""},
    {"\\StringFileInfo\\040904B0\\Empty", ""},
    {"\\StringFileInfo\\040904B0\\SpecialBuild", std::nullopt},
    {"\\StringFileInfo\\040904B0\\FileVersio", std::nullopt},
    {"\\StringFileInfo\\040904B0\\FileVersionX", std::nullopt},
    {"\\StringFileInfo\\040904B\\FileVersion", std::nullopt}};

} // namespace

// The library given the resource by koa_dev_add_version_info (with its .res and a stripped copy
// on Linux), and windres's builds of the same script (.res, 32- and 64-bit images).
TEST(VersionReader, ReadsTheSampleResourceInEveryContainer) {
    for (const char* path : {KOA_TEST_SAMPLE_FILES}) {
        SCOPED_TRACE(path);
        Bytes block = VersionBlockOf(ReadBytes(path));
        auto fixed = QueryFixedFileInfo(Span(block));
        ASSERT_TRUE(fixed);
        EXPECT_EQ(fixed->fileVersionMS, kSampleFileMS);
        EXPECT_EQ(fixed->fileVersionLS, kSampleFileLS);
        EXPECT_EQ(fixed->productVersionMS, kSampleProductMS);
        EXPECT_EQ(fixed->productVersionLS, kSampleProductLS);
        EXPECT_EQ(fixed->fileFlags, kSampleFlags);
        EXPECT_EQ(fixed->fileFlagsMask, 0x3Fu);
        EXPECT_EQ(fixed->fileType, 2u);
        for (const auto& [query, text] : kSampleTexts)
            EXPECT_EQ(Text(block, query.c_str()), text) << query;
        auto translation =
            koa::formats::QueryVersionValue(Span(block), "\\VarFileInfo\\Translation");
        auto languageAndCodepage = translation ? translation->bytes.U32(0) : std::nullopt;
        EXPECT_EQ(languageAndCodepage, std::optional<uint32_t>(0x04B00409u));
    }
}

TEST(VersionReader, TableOfAnotherLanguageIsNotTheUsEnglishOne) {
    std::vector<std::string> files = {KOA_TEST_GERMAN_LIBRARY};
#ifdef KOA_TEST_GERMAN_RES
    files.push_back(KOA_TEST_GERMAN_RES);
#endif
    for (const std::string& path : files) {
        Bytes block = VersionBlockOf(ReadBytes(path));
        auto fixed = QueryFixedFileInfo(Span(block));
        ASSERT_TRUE(fixed) << path;
        EXPECT_EQ(fixed->fileVersionLS, 0x00000001u);
        EXPECT_FALSE(Text(block, "\\StringFileInfo\\040904B0\\FileVersion"));
        EXPECT_EQ(Text(block, "\\StringFileInfo\\040704B0\\FileVersion"), "3, 0, 0, 1");
    }
}

#ifdef KOA_TEST_SAMPLE32_LIBRARY
TEST(VersionReader, Reads32BitLibraries) {
    Bytes file = ReadBytes(KOA_TEST_SAMPLE32_LIBRARY);
    ASSERT_GT(file.size(), 4u);
    ASSERT_EQ(file[4], 1) << "not a 32-bit ELF file";
    Bytes block = VersionBlockOf(file);
    auto fixed = QueryFixedFileInfo(Span(block));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersionLS, kSampleFileLS);
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040904B0\\FileVersion"), "1, 2, 3, 4");
}
#endif
