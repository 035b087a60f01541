#include "config/damaged_images.h"
#include "formats/string_resource_image.h"
#include "formats/text_encoding.h"
#include "platform/string_resources.h"
#include "rsc/string_resource_writer.h"
#include "support/scratch_dir.h"

namespace {

using namespace koa::formats;
using namespace koa::test;
using koa::rsc::Machine;
using Strings = std::map<unsigned int, std::string>;

// The string id holds when read with a buffer of size bytes, checked to end inside the buffer.
template <typename File> std::string Load(File& file, unsigned int id, int size = 260) {
    std::string buffer(static_cast<size_t>(size), '#');
    const int length = file.LoadString(id, buffer.data(), size);
    EXPECT_TRUE(length >= 0 && length < size && buffer[static_cast<size_t>(length)] == '\0') << id;
    return buffer.substr(0, static_cast<size_t>(std::max(length, 0)));
}

// Windows converts to the ANSI code page (1252 under Wine), with one ? per UTF-16 unit it cannot
// convert; Linux gives UTF-8.
#if defined(_WIN32)
const char kMenu[] = "C:\\Men\xFCs\\\x80\\", kCutUmlaut[] = "\xFC", kEmoji[] = "??";
const std::vector<Machine> kLoadableMachines{sizeof(void*) == 8 ? Machine::X86_64 : Machine::I386};
#else
const char kMenu[] = "C:\\Menüs\\€\\", kCutUmlaut[] = "", kEmoji[] = "\xF0\x9F\x98\x80";
const std::vector<Machine> kLoadableMachines{Machine::I386, Machine::X86_64};
#endif

class StringResourceFiles : public ScratchDirTest {};

// Strings written by this project's writer for each processor, and compiled by the MinGW resource
// compiler and linker from fixtures/strings.rc: files the writer had no part in, with the blocks
// from id 160 on stored in several languages, of which the one LoadStringA takes is written.
TEST_F(StringResourceFiles, WrittenOrCompiledStringsReadBackUnderTheirOwnIdsOnly) {
    const std::u16string longest(300, u'L'), cut = std::u16string(258, u'a') + u"üü";
    const koa::rsc::StringSettings settings{
        {0, u"zero"},     {1, u"C:\\Released\\"}, {3, longest},        {6, u""},
        {16, u"sixteen"}, {99, u"ninety-nine"},   {100, u"Libs\\"},    {101, u"C:\\Menüs\\€\\"},
        {105, cut},       {103, u"\U0001F600"},   {160, u"en-US 160"}, {176, u"de 176"},
        {192, u"en 192"}, {208, u"neutral 208"},  {65535, u"last"}};
    const std::string longestRead(259, 'L'), cutRead = std::string(258, 'a') + kCutUmlaut;
    // As LoadStringA, only the low 16 bits of the id count.
    Strings expected{{0, "zero"},          {1, "C:\\Released\\"}, {3, longestRead},
                     {16, "sixteen"},      {99, "ninety-nine"},   {100, "Libs\\"},
                     {101, kMenu},         {105, cutRead},        {103, kEmoji},
                     {160, "en-US 160"},   {176, "de 176"},       {192, "en 192"},
                     {208, "neutral 208"}, {65535, "last"},       {0x10001, "C:\\Released\\"}};
    for (unsigned int absent : {2u, 5u, 6u, 7u, 15u, 17u, 98u, 102u, 104u, 111u, 112u, 65534u})
        expected[absent] = "";
    std::vector<std::string> paths;
    for (Machine machine : kLoadableMachines) {
        const auto image = koa::rsc::WriteStringResourceImage(settings, machine);
        paths.push_back(Dir() + std::to_string(paths.size()) + ".rsc");
        WriteFile(paths.back(), std::string(image.begin(), image.end()));
#if defined(KOA_DEV_RC_FIXTURES)
        paths.push_back(std::string(KOA_DEV_RC_FIXTURES) + "/strings-" +
                        (machine == Machine::I386 ? "i686" : "x86_64") + "-w64-mingw32.dll");
#endif
    }
    for (const std::string& path : paths) {
        auto file = koa::platform::OpenStringResourceFile(path.c_str());
        ASSERT_TRUE(file) << path;
        for (const auto& [id, text] : expected)
            EXPECT_EQ(Load(*file, id), text) << path << " id " << id;
    }
    const auto empty =
        StringResourceImage::FromBytes(koa::rsc::WriteStringResourceImage({}, Machine::I386));
    ASSERT_TRUE(empty);
    EXPECT_EQ(Load(*empty, 1), "");
    std::string untouched = "#"; // a buffer without room is not written
    EXPECT_TRUE(empty->LoadString(1, untouched.data(), 0) == 0 && untouched == "#");
    WriteFile(Dir() + "text.rsc", "MZno\n");
    WriteFile(Dir() + "empty.rsc", "");
    for (const char* name : {"text.rsc", "empty.rsc", "missing"})
        EXPECT_FALSE(koa::platform::OpenStringResourceFile((Dir() + name).c_str())) << name;
    EXPECT_FALSE(koa::platform::OpenStringResourceFile(nullptr));
}

// A damaged or cut image gives no image, or each string whole or absent: never a part of one.
TEST(StringResourceImage, DamagedOrCutFilesGiveNoImageOrWholeStringsOnly) {
    const Bytes undamaged = UndamagedImage();
    for (const Damage& damage : ResourceDamages()) {
        Bytes bytes = undamaged;
        damage.apply(bytes);
        auto image = StringResourceImage::FromBytes(bytes);
        ASSERT_EQ(!image, damage.left == Left::NoImage) << damage.name;
        for (const auto& [id, text] : image ? UndamagedStrings() : Strings{}) {
            const bool kept = damage.left == Left::All ||
                              (damage.left == Left::SecondBlock && id >= 96 && id < 112);
            EXPECT_EQ(Load(*image, id), kept ? text.substr(0, 259) : "") << damage.name;
        }
    }
    for (size_t size = 0; size < undamaged.size(); ++size) {
        auto image = StringResourceImage::FromBytes({undamaged.begin(), undamaged.begin() + size});
        for (const auto& [id, text] : UndamagedStrings()) {
            const std::string read = image ? Load(*image, id) : "";
            EXPECT_TRUE(read.empty() || read == text.substr(0, 259)) << size << " id " << id;
        }
    }
}

TEST(TextEncoding, Utf8IsCutOnlyBetweenCharactersAndWrittenOnlyFromWellFormedText) {
    // Characters of 3, 4, 2 and 1 bytes: one that does not fit ends the text, however small the
    // ones after it.
    const std::u16string text = u"\u20AC\U0001F600\u00FCa";
    const std::string utf8 = "\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xBC"
                             "a";
    for (auto [room, kept] : {std::pair<size_t, size_t>(100, 10), {9, 9}, {8, 7}, {6, 3}, {2, 0}})
        EXPECT_EQ(Utf16ToUtf8(text, room), utf8.substr(0, kept)) << room;
    EXPECT_EQ(Utf16ToUtf8(u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000", 100),
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80");
    // A surrogate without its partner.
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'x', char16_t(0xD800), u'y', char16_t(0xDC00)}, 100),
              "x\xEF\xBF\xBDy\xEF\xBF\xBD");
    EXPECT_EQ(koa::rsc::Utf8ToUtf16(utf8), text);
    for (const char* bad : {"\xC3", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC3(", "\xE2\x82"})
        EXPECT_FALSE(koa::rsc::Utf8ToUtf16(bad)) << bad;
}

} // namespace
