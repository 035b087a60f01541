#include "formats/text_encoding.h"
#include "rsc/string_resource_writer.h"

#include <gtest/gtest.h>

namespace {

using koa::formats::Utf16ToUtf8;
using koa::rsc::Utf8ToUtf16;

TEST(TextEncoding, Utf8IsCutOnlyBetweenCharacters) {
    const std::u16string text = u"a\u00FC\u20AC\U0001F600";
    EXPECT_EQ(Utf16ToUtf8(text, 100), "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(text, 9), "a\xC3\xBC\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(text, 5), "a\xC3\xBC");
    EXPECT_EQ(Utf16ToUtf8(text, 2), "a");
    EXPECT_EQ(Utf16ToUtf8(text, 0), "");
    // A surrogate without its partner.
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'x', char16_t(0xD800), u'y', char16_t(0xDC00)}, 100),
              "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

TEST(TextEncoding, WriterAcceptsOnlyWellFormedUtf8) {
    EXPECT_EQ(Utf8ToUtf16("a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00FC\u20AC\U0001F600");
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    for (const char* bad : {"\xC3", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC3(", "\xE2\x82"})
        EXPECT_FALSE(Utf8ToUtf16(bad)) << bad;
}

} // namespace
