#include "platform/string_resources.h"
#include "rsc/string_resource_writer.h"
#include "support/scratch_dir.h"

#include <map>
#include <string>
#include <vector>

namespace {

using koa::platform::OpenStringResourceFile;
using koa::platform::StringResourceFile;
using koa::rsc::Machine;

using Strings = std::map<unsigned int, std::string>;

// Each id read with a buffer of size bytes gives its string.
void ExpectStrings(StringResourceFile& file, const Strings& expected, int size = 260) {
    for (const auto& [id, text] : expected) {
        std::string buffer(static_cast<size_t>(size), '#');
        const int length = file.LoadString(id, buffer.data(), size);
        ASSERT_TRUE(length >= 0 && length < size) << "id " << id;
        EXPECT_EQ(buffer[static_cast<size_t>(length)], '\0') << "id " << id;
        EXPECT_EQ(buffer.substr(0, static_cast<size_t>(length)), text) << "id " << id;
    }
}

std::u16string U(const std::string& utf8) {
    return *koa::rsc::Utf8ToUtf16(utf8);
}

// Windows converts to the ANSI code page (1252 under Wine); Linux gives UTF-8.
#if defined(_WIN32)
const char kMenu[] = "C:\\Men\xFCs\\\x80\\";
const char kCutUmlaut[] = "\xFC";
const char kEmoji[] = "??", kCutEmoji[] = "??"; // one ? per UTF-16 unit
const std::vector<Machine> kLoadableMachines{sizeof(void*) == 8 ? Machine::X86_64 : Machine::I386};
#else
const char kMenu[] = "C:\\Menüs\\€\\";
const char kCutUmlaut[] = "";
const char kEmoji[] = "\xF0\x9F\x98\x80", kCutEmoji[] = "";
const std::vector<Machine> kLoadableMachines{Machine::I386, Machine::X86_64};
#endif

class StringResourceFiles : public ScratchDirTest {
  protected:
    std::unique_ptr<StringResourceFile> Open(const koa::rsc::StringSettings& settings,
                                             Machine machine = kLoadableMachines.front()) {
        const auto image = koa::rsc::WriteStringResourceImage(settings, machine);
        WriteFile(Dir() + "strings.rsc", std::string(image.begin(), image.end()));
        return OpenStringResourceFile((Dir() + "strings.rsc").c_str());
    }
};

TEST_F(StringResourceFiles, WrittenStringsReadBackUnderTheirOwnIdsOnly) {
    const std::string longValue(300, 'L'), cut(258, 'a');
    const koa::rsc::StringSettings settings{{0, u"zero"},         {1, u"C:\\Released\\"},
                                            {3, U(longValue)},    {6, u""},
                                            {16, u"sixteen"},     {99, u"ninety-nine"},
                                            {100, u"Libs\\"},     {101, U("C:\\Menüs\\€\\")},
                                            {102, U(cut + "üü")}, {103, U("\xF0\x9F\x98\x80")},
                                            {65535, u"last"}};
    // As LoadStringA, only the low 16 bits of the id count.
    Strings expected{{0, "zero"},
                     {1, "C:\\Released\\"},
                     {3, longValue.substr(0, 259)},
                     {100, "Libs\\"},
                     {101, kMenu},
                     {102, cut + kCutUmlaut},
                     {65535, "last"},
                     {0x10001, "C:\\Released\\"}};
    expected[103] = kEmoji;
    for (unsigned int absent : {2u, 6u, 7u, 15u, 17u, 98u, 104u, 111u, 112u, 65534u})
        expected[absent] = "";
    for (Machine machine : kLoadableMachines) {
        SCOPED_TRACE(machine == Machine::I386 ? "i386" : "x86-64");
        auto file = Open(settings, machine);
        ASSERT_TRUE(file);
        ExpectStrings(*file, expected);
        ExpectStrings(*file, {{1, "C:\\"}, {103, kCutEmoji}}, 4);
        ExpectStrings(*file, {{1, ""}}, 1);
    }
    auto empty = Open({});
    ASSERT_TRUE(empty);
    ExpectStrings(*empty, {{1, ""}});
}

TEST_F(StringResourceFiles, FilesThatAreNoLibraryAreNotOpened) {
    for (const std::string text : {"MZno\n", ""}) {
        WriteFile(Dir() + "x.txt", text);
        EXPECT_FALSE(OpenStringResourceFile((Dir() + "x.txt").c_str())) << text;
    }
    EXPECT_FALSE(OpenStringResourceFile((Dir() + "missing").c_str()));
    EXPECT_FALSE(OpenStringResourceFile(nullptr));
}

// Files built by the MinGW resource compiler and linker from fixtures/strings.rc.
TEST_F(StringResourceFiles, ReadsWhatTheResourceCompilerWrote) {
#if !defined(KOA_DEV_RC_FIXTURES)
    GTEST_SKIP() << "no MinGW resource compiler";
#else
    std::string three;
    for (int i = 0; i < 26; ++i)
        three += "P123456789";
    const Strings expected{{0, "id zero"},
                           {1, "C:\\Released\\"},
                           {3, three.substr(0, 259)},
                           {4, "\\\\server\\share\\controllers.txt"},
                           {5, ""},
                           {6, ""},
                           {100, "Libs\\"},
                           {101, kMenu},
                           {102, "id 102"},
                           {65535, "last id"},
                           {160, "en-US 160"},
                           {176, "de 176"},
                           {192, "en 192"},
                           {208, "neutral 208"}};
    for (Machine machine : kLoadableMachines) {
        const std::string triplet =
            machine == Machine::I386 ? "i686-w64-mingw32" : "x86_64-w64-mingw32";
        SCOPED_TRACE(triplet);
        auto file = OpenStringResourceFile(
            (std::string(KOA_DEV_RC_FIXTURES) + "/strings-" + triplet + ".dll").c_str());
        ASSERT_TRUE(file);
        ExpectStrings(*file, expected);
    }
#endif
}

} // namespace
