#include "platform/version_resources.h"

#include "version_test_files.h"

#include <gtest/gtest.h>

#include <cstring>

// The portable reader against the Windows version service: both read the same resource (the
// one windres builds from sample.rc, and the one the resource compiler put into the sample
// library from koa_dev_add_version_info's script) and must answer every query alike.
#if defined(_WIN32) && defined(KOA_TEST_WINDRES_RES)

using namespace version_test;
namespace platform = koa::platform;

TEST(VersionReaderDifferential, AnswersAsTheWindowsVersionService) {
    const char* library = KOA_TEST_SAMPLE_LIBRARY;
    Bytes windows(platform::FileVersionInfoSize(library));
    ASSERT_FALSE(windows.empty());
    ASSERT_TRUE(platform::ReadFileVersionInfo(library, static_cast<uint32_t>(windows.size()),
                                              windows.data()));
    Bytes portable = VersionBlockOf(ReadBytes(KOA_TEST_WINDRES_RES));
    ASSERT_FALSE(portable.empty());

    platform::FixedFileInfo expected{};
    ASSERT_TRUE(platform::QueryFixedFileInfo(windows.data(), static_cast<uint32_t>(windows.size()),
                                             expected));
    auto fixed = koa::version::QueryFixedFileInfo(Span(portable));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(std::memcmp(&expected, &*fixed, sizeof expected), 0);

    for (const char* path : {
             "\\StringFileInfo\\040904B0\\FileVersion",
             "\\StringFileInfo\\040904b0\\fileversion",
             "\\STRINGFILEINFO\\040904B0\\ORIGINALFILENAME",
             "StringFileInfo\\\\040904B0\\PrivateBuild\\",
             "\\StringFileInfo\\040904B0\\Quoted",
             "\\StringFileInfo\\040904B0\\Empty",
             "\\StringFileInfo\\040904B0\\SpecialBuild",
             "\\StringFileInfo\\040904B0\\FileVersio",
             "\\StringFileInfo\\040704B0\\FileVersion",
             "\\StringFileInfo\\040904B\\FileVersion",
         }) {
        std::string text;
        bool found = platform::QueryVersionString(
            windows.data(), static_cast<uint32_t>(windows.size()), path, text);
        auto value = Text(portable, path);
        EXPECT_EQ(value.has_value(), found) << path;
        if (found && value) {
            EXPECT_EQ(*value, text) << path;
        }
    }
}

#endif
