#include "platform/version_resources.h"

#include "version_test_files.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace version_test;
namespace platform = koa::platform;

namespace {

// A file's version block read as the library reads it, through the platform service: on
// Windows, the Windows version service.
struct FileBlock {
    explicit FileBlock(const char* path) : bytes(platform::FileVersionInfoSize(path)) {
        EXPECT_TRUE(!bytes.empty() && platform::ReadFileVersionInfo(path, Size(), bytes.data()));
        EXPECT_TRUE(platform::QueryFixedFileInfo(bytes.data(), Size(), fixed));
    }
    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
    std::optional<std::string> String(const std::string& path) const {
        std::string text = "unchanged";
        return platform::QueryVersionString(bytes.data(), Size(), path.c_str(), text)
                   ? std::optional(text)
                   : std::nullopt;
    }

    Bytes bytes;
    platform::FixedFileInfo fixed{};
};

const char* const kPaths[] = {"\\StringFileInfo\\040904B0\\FileVersion",
                              "\\StringFileInfo\\040904b0\\fileversion",
                              "\\STRINGFILEINFO\\040904B0\\ORIGINALFILENAME",
                              "StringFileInfo\\\\040904B0\\PrivateBuild\\",
                              "\\StringFileInfo\\040904B0\\InternalName",
                              "\\StringFileInfo\\040904B0\\Quoted",
                              "\\StringFileInfo\\040904B0\\Empty",
                              "\\StringFileInfo\\040904B0\\SpecialBuild",
                              "\\StringFileInfo\\040904B0\\FileVersio",
                              "\\StringFileInfo\\040704B0\\FileVersion",
                              "\\StringFileInfo\\040904B\\FileVersion"};

void ExpectSameAnswers(const char* image, const Bytes& portable) {
    SCOPED_TRACE(image);
    FileBlock service(image);
    auto fixed = koa::version::QueryFixedFileInfo(Span(portable));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(std::memcmp(&service.fixed, &*fixed, sizeof service.fixed), 0);
    for (const char* path : kPaths)
        EXPECT_EQ(service.String(path), Text(portable, path)) << path;
}

} // namespace

// The portable reader against the platform's service, for the same image read both ways, and
// for windres's .res of the script that matches the sample library's resource.
TEST(PlatformVersionInfo, AnswersAsThePortableReader) {
    std::vector<const char*> images = {KOA_TEST_LIBRARY, KOA_TEST_SAMPLE_LIBRARY,
                                       KOA_TEST_GERMAN_LIBRARY};
#ifdef KOA_TEST_WINDRES_i686
    images.push_back(KOA_TEST_WINDRES_i686);
#endif
    for (const char* image : images)
        ExpectSameAnswers(image, VersionBlockOf(ReadBytes(image)));
#ifdef KOA_TEST_WINDRES_RES
    ExpectSameAnswers(KOA_TEST_SAMPLE_LIBRARY, VersionBlockOf(ReadBytes(KOA_TEST_WINDRES_RES)));
#endif
}

TEST(PlatformVersionInfo, GivesTheLibrarysOwnVersionAndTextInTheHostEncoding) {
    FileBlock own(KOA_TEST_LIBRARY);
    EXPECT_EQ(own.fixed.fileVersionMS, 0x00020000u);
    EXPECT_EQ(own.fixed.fileVersionLS, 0u);
    EXPECT_EQ(own.fixed.productVersionMS, 0x00010000u);
    EXPECT_EQ(own.fixed.productVersionLS, 0u);
    EXPECT_EQ(own.fixed.fileFlags, 0u);
    EXPECT_EQ(own.fixed.fileFlagsMask, 0x3Fu);
    for (auto [name, text] : {std::pair("FileVersion", "2, 0, 0, 0"),
                              {"ProductVersion", "1, 0, 0, 0"},
                              {"InternalName", "koa_dev"},
                              {"originalfilename", "koa_dev.dll"}})
        EXPECT_EQ(own.String(kSampleTable + std::string(name)), text) << name;
    EXPECT_FALSE(own.String(kSampleTable + std::string("PrivateBuild")));

    const std::string comments = kSampleTable + std::string("Comments");
#ifdef _WIN32
    // The ANSI code page, one ? per UTF-16 unit.
    EXPECT_EQ(FileBlock(KOA_TEST_SAMPLE_LIBRARY).String(comments), "caf\xE9 ??");
#else
    EXPECT_EQ(FileBlock(KOA_TEST_SAMPLE_LIBRARY).String(comments), "caf\xC3\xA9 \xF0\x9F\x98\x80");
#endif
}

TEST(PlatformVersionInfo, FilesWithoutVersionResourceHaveNone) {
    for (const char* path : {KOA_TEST_TEXT_FILE, "no such file.dll", ""}) {
        EXPECT_EQ(platform::FileVersionInfoSize(path), 0u) << path;
        uint8_t buffer[64] = {};
        EXPECT_FALSE(platform::ReadFileVersionInfo(path, sizeof buffer, buffer)) << path;
    }
}
