#include "platform/version_resources.h"

#include "version_test_files.h"

#include <gtest/gtest.h>

#include <cstring>

// The portable reader against the Windows version service: every query must be answered alike,
// for the same image read both ways, and for windres's .res of the script that matches the
// sample library's resource.
#ifdef _WIN32

using namespace version_test;
namespace platform = koa::platform;

namespace {

const char* const kPaths[] = {
    "\\StringFileInfo\\040904B0\\FileVersion",
    "\\StringFileInfo\\040904b0\\fileversion",
    "\\STRINGFILEINFO\\040904B0\\ORIGINALFILENAME",
    "StringFileInfo\\\\040904B0\\PrivateBuild\\",
    "\\StringFileInfo\\040904B0\\InternalName",
    "\\StringFileInfo\\040904B0\\Quoted",
    "\\StringFileInfo\\040904B0\\Empty",
    "\\StringFileInfo\\040904B0\\SpecialBuild",
    "\\StringFileInfo\\040904B0\\FileVersio",
    "\\StringFileInfo\\040704B0\\FileVersion",
    "\\StringFileInfo\\040904B\\FileVersion",
};

void ExpectSameAnswers(const char* image, const Bytes& portable) {
    SCOPED_TRACE(image);
    Bytes windows(platform::FileVersionInfoSize(image));
    ASSERT_FALSE(windows.empty());
    const auto size = static_cast<uint32_t>(windows.size());
    ASSERT_TRUE(platform::ReadFileVersionInfo(image, size, windows.data()));
    ASSERT_FALSE(portable.empty());

    platform::FixedFileInfo expected{};
    ASSERT_TRUE(platform::QueryFixedFileInfo(windows.data(), size, expected));
    auto fixed = koa::version::QueryFixedFileInfo(Span(portable));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(std::memcmp(&expected, &*fixed, sizeof expected), 0);

    for (const char* path : kPaths) {
        std::string text;
        bool found = platform::QueryVersionString(windows.data(), size, path, text);
        auto value = Text(portable, path);
        EXPECT_EQ(value.has_value(), found) << path;
        if (found && value) {
            EXPECT_EQ(*value, text) << path;
        }
    }
}

} // namespace

TEST(VersionReaderDifferential, AnswersAsTheWindowsVersionService) {
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

#endif
