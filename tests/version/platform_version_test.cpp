#include "platform/version_resources.h"

#include "version_test_files.h"

#include <gtest/gtest.h>

using namespace version_test;
namespace platform = koa::platform;

namespace {

// A file's version block read as the library reads it, through the platform service.
struct FileBlock {
    explicit FileBlock(const char* path) : bytes(platform::FileVersionInfoSize(path)) {
        read = !bytes.empty() && platform::ReadFileVersionInfo(path, Size(), bytes.data());
    }
    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
    std::optional<platform::FixedFileInfo> Fixed() const {
        platform::FixedFileInfo info{};
        return platform::QueryFixedFileInfo(bytes.data(), Size(), info) ? std::optional(info)
                                                                        : std::nullopt;
    }
    std::optional<std::string> String(const std::string& path) const {
        std::string text = "unchanged";
        return platform::QueryVersionString(bytes.data(), Size(), path.c_str(), text)
                   ? std::optional(text)
                   : std::nullopt;
    }

    Bytes bytes;
    bool read = false;
};

} // namespace

TEST(PlatformVersionInfo, ReadsTheLibrarysOwnVersionResource) {
    FileBlock own(KOA_TEST_LIBRARY);
    ASSERT_TRUE(own.read);
    auto fixed = own.Fixed();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->fileVersionLS, 0u);
    EXPECT_EQ(fixed->productVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->productVersionLS, 0u);
    EXPECT_EQ(fixed->fileFlags, 0u);
    EXPECT_EQ(fixed->fileFlagsMask, 0x3Fu);
    std::string table = kSampleTable;
    EXPECT_EQ(own.String(table + "FileVersion"), "2, 0, 0, 0");
    EXPECT_EQ(own.String(table + "ProductVersion"), "1, 0, 0, 0");
    EXPECT_EQ(own.String(table + "InternalName"), "koa_dev");
    EXPECT_EQ(own.String("\\stringfileinfo\\040904b0\\originalfilename"), "koa_dev.dll");
    EXPECT_FALSE(own.String(table + "PrivateBuild"));
    EXPECT_FALSE(own.String(table + "SpecialBuild"));
}

TEST(PlatformVersionInfo, ReadsFlagsAndTextOfOtherLibraries) {
    FileBlock sample(KOA_TEST_SAMPLE_LIBRARY);
    ASSERT_TRUE(sample.read);
    auto fixed = sample.Fixed();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersionMS, kSampleFileMS);
    EXPECT_EQ(fixed->fileVersionLS, kSampleFileLS);
    EXPECT_EQ(fixed->productVersionLS, kSampleProductLS);
    EXPECT_EQ(fixed->fileFlags, kSampleFlags);
    std::string table = kSampleTable;
    EXPECT_EQ(sample.String(table + "PrivateBuild"), "lab test");
    EXPECT_EQ(sample.String(table + "Empty"), "");
#ifdef _WIN32
    EXPECT_EQ(sample.String(table + "Comments"),
              "caf\xE9 ??"); // the ANSI code page, one ? per UTF-16 unit
#else
    EXPECT_EQ(sample.String(table + "Comments"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
#endif

    FileBlock german(KOA_TEST_GERMAN_LIBRARY);
    ASSERT_TRUE(german.Fixed());
    EXPECT_FALSE(german.String(table + "FileVersion"));
    EXPECT_EQ(german.String("\\StringFileInfo\\040704B0\\FileVersion"), "3, 0, 0, 1");
}

TEST(PlatformVersionInfo, FilesWithoutVersionResourceHaveNone) {
    for (const char* path : {KOA_TEST_TEXT_FILE, "no such file.dll", ""}) {
        EXPECT_EQ(platform::FileVersionInfoSize(path), 0u) << path;
        uint8_t buffer[64] = {};
        EXPECT_FALSE(platform::ReadFileVersionInfo(path, sizeof buffer, buffer)) << path;
    }
}
