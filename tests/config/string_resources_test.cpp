#include "platform/string_resources.h"
#include "rsc/string_resource_writer.h"

#include "config/resource_file_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using koa::platform::OpenStringResourceFile;
using koa::platform::StringResourceFile;
using koa::rsc::Machine;
using koa::test::TempFile;

constexpr int kBuffer = 260;

std::string Load(StringResourceFile& file, unsigned int id, int size = kBuffer) {
    std::string buffer(static_cast<size_t>(size), '#');
    const int length = file.LoadString(id, buffer.data(), size);
    EXPECT_GE(length, 0);
    EXPECT_LT(length, size);
    EXPECT_EQ(buffer[static_cast<size_t>(length)], '\0') << "id " << id;
    return buffer.substr(0, static_cast<size_t>(length));
}

std::u16string U(const std::string& utf8) {
    return *koa::rsc::Utf8ToUtf16(utf8);
}

const char kMenuText[] = "C:\\Menüs\\€\\";

// Windows converts to the ANSI code page (1252 under Wine); Linux gives UTF-8.
#if defined(_WIN32)
const char kMenu[] = "C:\\Men\xFCs\\\x80\\";
const char kCutUmlaut[] = "\xFC";
const std::vector<Machine> kLoadableMachines{sizeof(void*) == 8 ? Machine::X86_64 : Machine::I386};
#else
const char kMenu[] = "C:\\Menüs\\€\\";
const char kCutUmlaut[] = "";
const std::vector<Machine> kLoadableMachines{Machine::I386, Machine::X86_64};
#endif

TEST(StringResourceFile, WrittenStringsReadBackUnderTheirOwnIdsOnly) {
    const std::string longValue(300, 'L');
    const koa::rsc::StringSettings settings{
        {0, u"zero"},      {1, u"C:\\Released\\"}, {2, u"D:\\Firmware\\"},
        {3, U(longValue)}, {4, u"list.txt"},       {5, u"C:\\Data\\rev.txt"},
        {6, u"six"},       {16, u"sixteen"},       {99, u"ninety-nine"},
        {100, u"Libs\\"},  {101, U(kMenuText)},    {102, u"one-o-two"},
        {65535, u"last"}};
    for (Machine machine : kLoadableMachines) {
        TempFile temp(machine == Machine::I386 ? ".i386" : ".x64");
        auto file = OpenStringResourceFile(
            temp.Write(koa::rsc::WriteStringResourceImage(settings, machine)).c_str());
        ASSERT_TRUE(file);
        EXPECT_EQ(Load(*file, 0), "zero");
        EXPECT_EQ(Load(*file, 1), "C:\\Released\\");
        EXPECT_EQ(Load(*file, 2), "D:\\Firmware\\");
        EXPECT_EQ(Load(*file, 3), longValue.substr(0, 259));
        EXPECT_EQ(Load(*file, 5), "C:\\Data\\rev.txt");
        EXPECT_EQ(Load(*file, 100), "Libs\\");
        EXPECT_EQ(Load(*file, 101), kMenu);
        EXPECT_EQ(Load(*file, 102), "one-o-two");
        EXPECT_EQ(Load(*file, 65535), "last");
        for (unsigned int absent : {7u, 15u, 17u, 98u, 103u, 111u, 112u, 65534u})
            EXPECT_EQ(Load(*file, absent), "") << "id " << absent;
        // As LoadStringA, only the low 16 bits of the id count.
        EXPECT_EQ(Load(*file, 0x10001), "C:\\Released\\");
        EXPECT_EQ(Load(*file, 1, 5), "C:\\R");
        EXPECT_EQ(Load(*file, 1, 1), "");
    }
}

TEST(StringResourceFile, EmptyStringsAndEmptyTablesReadAsAbsent) {
    TempFile temp(".rsc");
    const auto machine = kLoadableMachines.front();
    auto file = OpenStringResourceFile(
        temp.Write(koa::rsc::WriteStringResourceImage({{1, u""}, {2, u"x"}}, machine)).c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(Load(*file, 1), "");
    EXPECT_EQ(Load(*file, 2), "x");
    file.reset();
    file =
        OpenStringResourceFile(temp.Write(koa::rsc::WriteStringResourceImage({}, machine)).c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(Load(*file, 1), "");
}

TEST(StringResourceFile, TextIsCutBeforeTheCharacterThatDoesNotFit) {
    TempFile temp(".rsc");
    const std::string prefix(258, 'a');
    auto file =
        OpenStringResourceFile(temp.Write(koa::rsc::WriteStringResourceImage(
                                              {{1, U(prefix + "üü")}, {2, U("\xF0\x9F\x98\x80")}},
                                              kLoadableMachines.front()))
                                   .c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(Load(*file, 1), prefix + kCutUmlaut);
#if !defined(_WIN32)
    EXPECT_EQ(Load(*file, 2), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Load(*file, 2, 4), "");
#endif
}

TEST(StringResourceFile, FilesThatAreNoLibraryAreNotOpened) {
    TempFile temp(".txt");
    EXPECT_FALSE(OpenStringResourceFile(temp.Write({'M', 'Z', 'n', 'o', '\n'}).c_str()));
    EXPECT_FALSE(OpenStringResourceFile(temp.Write({}).c_str()));
    EXPECT_FALSE(OpenStringResourceFile((temp.Write({}) + ".missing").c_str()));
    EXPECT_FALSE(OpenStringResourceFile(nullptr));
}

// Files built by the MinGW resource compiler and linker from fixtures/strings.rc.
TEST(StringResourceFile, ReadsWhatTheResourceCompilerWrote) {
#if !defined(KOA_DEV_RC_FIXTURES)
    GTEST_SKIP() << "no MinGW resource compiler";
#else
    std::vector<std::string> triplets{"x86_64-w64-mingw32"};
    if (kLoadableMachines.size() > 1)
        triplets.push_back("i686-w64-mingw32");
    for (const std::string& triplet : triplets) {
        SCOPED_TRACE(triplet);
        auto file = OpenStringResourceFile(
            (std::string(KOA_DEV_RC_FIXTURES) + "/strings-" + triplet + ".dll").c_str());
        ASSERT_TRUE(file);
        EXPECT_EQ(Load(*file, 0), "id zero");
        EXPECT_EQ(Load(*file, 1), "C:\\Released\\");
        EXPECT_EQ(Load(*file, 2), "D:\\Firmware\\");
        const std::string three = Load(*file, 3);
        EXPECT_EQ(three.size(), 259u);
        EXPECT_EQ(three.substr(250), "P12345678");
        EXPECT_EQ(Load(*file, 4), "\\\\server\\share\\controllers.txt");
        EXPECT_EQ(Load(*file, 5), "");
        EXPECT_EQ(Load(*file, 6), "");
        EXPECT_EQ(Load(*file, 100), "Libs\\");
        EXPECT_EQ(Load(*file, 101), kMenu);
        EXPECT_EQ(Load(*file, 102), "id 102");
        EXPECT_EQ(Load(*file, 65535), "last id");
        EXPECT_EQ(Load(*file, 160), "en-US 160");
        EXPECT_EQ(Load(*file, 176), "de 176");
        EXPECT_EQ(Load(*file, 192), "en 192");
        EXPECT_EQ(Load(*file, 208), "neutral 208");
    }
#endif
}

} // namespace
