#include "platform/version_resources.h"
#if !defined(_WIN32)
#include "platform/posix/file_source.h"
#endif

#include "version_test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <koa_dev/version.h>

using namespace version_test;

namespace {

using Found = std::optional<std::string>;

// Files holding one version resource, what its fixed part holds (file version, product version,
// flags, flags mask, file type) followed by its language and code page, and the texts that queries
// of it find; keys match without regard to case.
struct Resource {
    std::vector<std::string> files;
    uint32_t fixed[8];
    std::vector<std::pair<const char*, Found>> texts;
};

const char kSampleComments[] = "\\StringFileInfo\\040904B0\\Comments";

std::vector<Resource> Resources() {
    std::vector<Resource> resources = {
        // Built by koa_dev_add_version_info (with its .res and a stripped copy on Linux), and
        // windres's builds of the same script (.res, 32- and 64-bit images): 1.2.3.4, product
        // 5.6.7.0, pre-release and private build.
        {{KOA_TEST_SAMPLE_FILES},
         {0x00010002, 0x00030004, 0x00050006, 0x00070000, 0x02 | 0x08, 0x3F, 2, 0x04B00409},
         {{"\\StringFileInfo\\040904B0\\FileVersion", "1, 2, 3, 4"},
          {"\\stringfileinfo\\040904b0\\fileversion", "1, 2, 3, 4"},
          {"StringFileInfo\\\\040904B0\\FILEVERSION\\", "1, 2, 3, 4"},
          {"\\StringFileInfo\\040904B0\\PrivateBuild", "lab test"},
          {"\\STRINGFILEINFO\\040904B0\\ORIGINALFILENAME", "sample.dll"},
          {kSampleComments, "caf\xC3\xA9 \xF0\x9F\x98\x80"},
          {"\\StringFileInfo\\040904B0\\Quoted", "say \"a\\b\""},
          {"\\StringFileInfo\\040904B0\\Empty", ""},
          {"\\StringFileInfo\\040904B0\\SpecialBuild", std::nullopt},
          {"\\StringFileInfo\\040904B0\\FileVersio", std::nullopt},
          {"\\StringFileInfo\\040904B0\\FileVersionX", std::nullopt},
          {"\\StringFileInfo\\040704B0\\FileVersion", std::nullopt},
          {"\\StringFileInfo\\040904B\\FileVersion", std::nullopt}}},
        {{KOA_TEST_LIBRARY},
         {0x00020000, 0, 0x00010000, 0, 0, 0x3F, 2, 0x04B00409},
         {{"\\StringFileInfo\\040904B0\\FileVersion", "2, 0, 0, 0"},
          {"\\StringFileInfo\\040904B0\\ProductVersion", "1, 0, 0, 0"},
          {"\\StringFileInfo\\040904B0\\InternalName", "koa_dev"},
          {"\\StringFileInfo\\040904B0\\originalfilename", "koa_dev.dll"},
          {"\\StringFileInfo\\040904B0\\PrivateBuild", std::nullopt}}},
        // A table of another language is not the US English one.
        {{KOA_TEST_GERMAN_LIBRARY},
         {0x00030000, 1, 0x00030000, 0, 0, 0x3F, 2, 0x04B00407},
         {{"\\StringFileInfo\\040904B0\\FileVersion", std::nullopt},
          {"\\StringFileInfo\\040704B0\\FileVersion", "3, 0, 0, 1"}}}};
#ifdef KOA_TEST_GERMAN_RES
    resources.back().files.push_back(KOA_TEST_GERMAN_RES);
#endif
#if defined(KOA_TEST_TWO_LANGUAGES) && !defined(_WIN32)
    for (const char* file : {KOA_TEST_TWO_LANGUAGES})
        resources.back().files.push_back(file);
#endif
    return resources;
}

using Version = TArray<unsigned short, 6, LV_uInt16Array**>;

// The four parts of a version held in two double words.
Version Parts(uint32_t ms, uint32_t ls) {
    return Version(4, ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
}

} // namespace

// Each file read by the portable reader from its bytes, and, where the platform's service reads
// that kind of file (on Windows, the Windows version service reads images only), by the service.
TEST(VersionReader, ReadsEveryResourceInEveryContainer) {
    Version file, product;
    LV_uInt32 flags = 0;
    for (const Resource& resource : Resources()) {
        for (const std::string& path : resource.files) {
            SCOPED_TRACE(path);
            const Bytes block = VersionBlockOf(ReadBytes(path));
            auto fixed = koa::formats::QueryFixedFileInfo(Span(block));
            auto translation =
                koa::formats::QueryVersionValue(Span(block), "\\VarFileInfo\\Translation");
            ASSERT_TRUE(fixed && translation);
            EXPECT_EQ(std::vector<uint32_t>(
                          {fixed->fileVersionMS, fixed->fileVersionLS, fixed->productVersionMS,
                           fixed->productVersionLS, fixed->fileFlags, fixed->fileFlagsMask,
                           fixed->fileType, translation->bytes.U32(0).value_or(0)}),
                      std::vector<uint32_t>(resource.fixed, resource.fixed + 8));
            for (const auto& [query, text] : resource.texts)
                EXPECT_EQ(Text(block, query), text) << query;
#if defined(_WIN32)
            if (path.size() > 4 && path.substr(path.size() - 4) == ".res")
                continue;
#endif
            const Bytes service = koa::platform::ReadFileVersionBlock(path.c_str());
            const auto size = static_cast<uint32_t>(service.size());
            flags = 7;
            EXPECT_TRUE(ReadFileVersionInformation(path.c_str(), &file, &product, &flags) &&
                        file == Parts(resource.fixed[0], resource.fixed[1]) &&
                        product == Parts(resource.fixed[2], resource.fixed[3]) &&
                        flags == resource.fixed[4]);
            for (auto [query, text] : resource.texts) {
#if defined(_WIN32)
                // The service gives the ANSI code page, one ? per UTF-16 unit.
                if (query == kSampleComments)
                    text = "caf\xE9 ??";
#endif
                std::string found = "unchanged";
                EXPECT_EQ(koa::platform::QueryVersionString(service.data(), size, query, found)
                              ? Found(found)
                              : std::nullopt,
                          text)
                    << query;
            }
        }
    }
    // Unreadable: the outputs are zeros, written through the pointers that are given.
    for (const char* path : {KOA_TEST_TEXT_FILE, "no such file.dll", ""}) {
        flags = 7;
        EXPECT_TRUE(koa::platform::ReadFileVersionBlock(path).empty() &&
                    !ReadFileVersionInformation(path, nullptr, nullptr, nullptr) &&
                    !ReadFileVersionInformation(path, &file, &product, &flags) &&
                    file == Parts(0, 0) && product == Parts(0, 0) && flags == 0)
            << path;
    }
}

#if !defined(_WIN32)
// A library cut short after it was opened gives what is left, at once.
TEST(PlatformVersionInfo, AFileCutAfterOpeningGivesWhatIsLeft) {
    const std::string path = std::filesystem::temp_directory_path() / "koa_dev_cut_sample";
    std::ofstream(path) << std::string(70000, 'x');
    koa::platform::FileSource file(path, 1 << 20);
    std::filesystem::resize_file(path, 10);
    EXPECT_EQ(file.Piece(5, 70000).Bytes().Size(), 5u);
    std::filesystem::remove(path);
}
#endif
