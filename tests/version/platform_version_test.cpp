#include "platform/version_resources.h"

#include "version_test_files.h"

#include <gtest/gtest.h>

#include <koa_dev/version.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace version_test;
namespace platform = koa::platform;

namespace {

// A file's version block read as the library reads it, through the platform service: on
// Windows, the Windows version service.
struct FileBlock {
    explicit FileBlock(const char* path) : bytes(platform::ReadFileVersionBlock(path)) {
        EXPECT_FALSE(bytes.empty());
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
    auto fixed = koa::formats::QueryFixedFileInfo(Span(portable));
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
    for (const char* path : {KOA_TEST_TEXT_FILE, "no such file.dll", ""})
        EXPECT_TRUE(platform::ReadFileVersionBlock(path).empty()) << path;
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
// The sample library padded with a hole to 1 GB, the most a library may have: its version is read
// in a process that could not hold a tenth of the file. (Address space limits do not suit the
// sanitizers' shadow memory.)
TEST(PlatformVersionInfo, AHugeLibraryIsReadWithoutMemoryOfItsSize) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("koa_dev_huge_sample." + std::to_string(getpid()) + ".so"))
                                 .string();
    std::filesystem::copy_file(KOA_TEST_SAMPLE_LIBRARY, path,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(path, uintmax_t{1} << 30);
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t mapped = static_cast<rlim_t>(pages) * static_cast<rlim_t>(getpagesize());
        const rlimit limit{mapped + (rlim_t{64} << 20), mapped + (rlim_t{64} << 20)};
        uint32_t flags = 0;
        _exit(setrlimit(RLIMIT_AS, &limit) == 0 &&
                      ReadFileVersionInformation(path.c_str(), nullptr, nullptr, &flags) &&
                      flags == kSampleFlags
                  ? 0
                  : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove(path);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
#endif
