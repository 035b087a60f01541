#include "platform/version_resources.h"

#include "version_test_files.h"

#include <gtest/gtest.h>

using namespace version_test;
namespace platform = koa::platform;

namespace {

// A file's version block read as the library reads it, through the platform service.
struct FileBlock {
    explicit FileBlock(const char* path) : bytes(platform::FileVersionInfoSize(path)) {
        EXPECT_TRUE(!bytes.empty() && platform::ReadFileVersionInfo(path, Size(), bytes.data()));
        EXPECT_TRUE(platform::QueryFixedFileInfo(bytes.data(), Size(), fixed));
    }
    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
    std::optional<std::string> String(const std::string& name) const {
        std::string text = "unchanged";
        return platform::QueryVersionString(bytes.data(), Size(), (kSampleTable + name).c_str(),
                                            text)
                   ? std::optional(text)
                   : std::nullopt;
    }

    Bytes bytes;
    platform::FixedFileInfo fixed{};
};

} // namespace

TEST(PlatformVersionInfo, ReadsTheLibrarysOwnResourceAndOthers) {
    FileBlock own(KOA_TEST_LIBRARY);
    EXPECT_EQ(own.fixed.fileVersionMS, 0x00020000u);
    EXPECT_EQ(own.fixed.fileVersionLS, 0u);
    EXPECT_EQ(own.fixed.productVersionMS, 0x00010000u);
    EXPECT_EQ(own.fixed.productVersionLS, 0u);
    EXPECT_EQ(own.fixed.fileFlags, 0u);
    EXPECT_EQ(own.fixed.fileFlagsMask, 0x3Fu);
    const std::vector<std::pair<std::string, std::optional<std::string>>> ownTexts = {
        {"FileVersion", "2, 0, 0, 0"},  {"ProductVersion", "1, 0, 0, 0"},
        {"InternalName", "koa_dev"},    {"originalfilename", "koa_dev.dll"},
        {"PrivateBuild", std::nullopt}, {"SpecialBuild", std::nullopt}};
    for (const auto& [name, text] : ownTexts)
        EXPECT_EQ(own.String(name), text) << name;

    FileBlock sample(KOA_TEST_SAMPLE_LIBRARY);
    EXPECT_EQ(sample.fixed.fileVersionLS, kSampleFileLS);
    EXPECT_EQ(sample.fixed.fileFlags, kSampleFlags);
    EXPECT_EQ(sample.String("PrivateBuild"), "lab test");
    EXPECT_EQ(sample.String("Empty"), "");
#ifdef _WIN32
    // The ANSI code page, one ? per UTF-16 unit.
    EXPECT_EQ(sample.String("Comments"), "caf\xE9 ??");
#else
    EXPECT_EQ(sample.String("Comments"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
#endif
    EXPECT_FALSE(FileBlock(KOA_TEST_GERMAN_LIBRARY).String("FileVersion"));
}

TEST(PlatformVersionInfo, FilesWithoutVersionResourceHaveNone) {
    for (const char* path : {KOA_TEST_TEXT_FILE, "no such file.dll", ""}) {
        EXPECT_EQ(platform::FileVersionInfoSize(path), 0u) << path;
        uint8_t buffer[64] = {};
        EXPECT_FALSE(platform::ReadFileVersionInfo(path, sizeof buffer, buffer)) << path;
    }
}
