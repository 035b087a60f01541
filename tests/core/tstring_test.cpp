#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring.h>

#include "support/allocations.h"
#include "support/lv_test.h"

#include <sstream>
#include <string>
#include <utility>

namespace {

std::string S(const TString& t) {
    return std::string(t.CStr(), t.Length());
}

TEST(TString, ConstructionCopiesAndConcatenation) {
    EXPECT_STREQ(TString().CStr(), "");
    EXPECT_EQ(S(TString("abc", 10)), "abc");
    EXPECT_EQ(S(TString("abcdef", 2)), "ab");
    EXPECT_TRUE(TString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(TString(static_cast<LStr**>(nullptr)).IsEmpty());
    TString a("hello");
    TString b(a);
    b.MakeUpper();
    EXPECT_EQ(S(a), "hello");
    EXPECT_EQ(S(b), "HELLO");
    a = a;
    a = a.CStr() + 2; // a pointer into its own text
    EXPECT_EQ(S(a), "llo");
    a += a;
    EXPECT_EQ(S(a), "llollo");
    EXPECT_EQ(S("x" + TString("y") + "z"), "xyz");
}

TEST(TString, SubstringsEditsAndOrder) {
    const TString s("abcdef");
    const std::pair<TString, const char*> cases[] = {
        {s.Mid(1, 2), "bc"}, {s.Mid(4, 0), "ef"},     {s.Mid(4, 10), "ef"}, {s.Mid(6, 1), ""},
        {s.Mid(-1, 2), ""},  {s.Left(0), ""},         {s.Left(-3), ""},     {s.Left(2), "ab"},
        {s.Right(0), ""},    {s.Right(10), "abcdef"}, {s.Right(2), "ef"}};
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(S(got), expected);

    TString t("  \t x y \r\n"), blank(" \t\r\n"), ab("abba cab"), path("path\\//"), x("Ab1z");
    t.Trim();
    blank.Trim();
    ab.TrimLeft("ab");
    path.TrimRight("\\/");
    EXPECT_EQ(S(t), "x y");
    EXPECT_TRUE(blank.IsEmpty());
    EXPECT_EQ(S(ab), " cab");
    EXPECT_EQ(S(path), "path");
    TString lr(" x ");
    lr.TrimLeft();
    EXPECT_EQ(S(lr), "x ");
    lr.TrimRight();
    EXPECT_EQ(S(lr), "x");
    x.MakeLower();
    x.MakeReverse();
    EXPECT_EQ(S(x), "z1ba");

    EXPECT_LT(TString("ab"), TString("abc"));
    EXPECT_LT(TString("B"), TString("a"));
    EXPECT_GT(TString("\xE9"), TString("z")) << "bytes compare unsigned";
    EXPECT_LE(TString("same"), TString("same", 99));
    EXPECT_GE(TString("b"), TString("b"));
    EXPECT_FALSE(TString("b") < TString("b"));
    EXPECT_NE(TString("a"), TString("b"));
    EXPECT_EQ(TString(), TString(""));
}

TEST(TString, FormatIsCappedAt65536CharactersAndStreamsReadWords) {
    TString t;
    t.Format("%d-%s", 7, "x");
    EXPECT_EQ(S(t), "7-x");
    t.Format("%s", "");
    EXPECT_TRUE(t.IsEmpty());
    const std::string big(70000, 'q');
    t.Format("%s!", big.c_str());
    EXPECT_EQ(S(t), big.substr(0, 65536));
    t = "ab";
    t.Format("[%s|%s]", t.CStr(), t.CStr());
    EXPECT_EQ(S(t), "[ab|ab]") << "the old text is read before it is freed";
    t.Format("%s", t.CStr());
    EXPECT_EQ(S(t), "[ab|ab]");
    {
        allocations::Watch watch;
        t.Format("%*d", 100000000, 7);
        EXPECT_LE(watch.Largest(), 65537u) << "a huge width stays within the last scratch buffer";
    }
    EXPECT_EQ(S(t), std::string(65536, ' '));

    std::istringstream in("  hello world");
    in >> t;
    EXPECT_EQ(S(t), "hello");
    EXPECT_EQ(in.get(), ' ');
    const std::string word(250, 'w');
    std::istringstream longWord(word + " next");
    longWord >> t;
    EXPECT_EQ(S(t), word);
    std::istringstream none("   ");
    none >> t;
    EXPECT_TRUE(t.IsEmpty());
}

class TStringToLabVIEW : public LvTest {};

TEST_F(TStringToLabVIEW, ReadsAndWritesHandles) {
    LStr** h = lvhost::NewString("abXcd");
    (*h)->str[2] = '\0';
    const TString read(h);
    EXPECT_EQ(read.Length(), 5u) << "the handle's count, not the first NUL";
    ErrorCluster err(true, 3, "an ordinary error does not stop output");
    TString("longer text").SetLV_String(&err, &h);
    EXPECT_EQ(Text(h), "longer text");
    TString().SetLV_String(&err, &h);
    EXPECT_EQ((*h)->cnt, 0);
    LStr** fresh = nullptr;
    TString("new").SetLV_String(&err, &fresh);
    EXPECT_EQ(Text(fresh), "new");

    lvhost::FailCall(1, lvhost::kMemoryFull);
    TString("replacement").SetLV_String(&err, &fresh);
    EXPECT_EQ(err.FatalCode(), lvhost::kMemoryFull);
    EXPECT_EQ(Text(fresh), "new");
    const int calls = lvhost::ResizeCalls();
    TString("ignored").SetLV_String(&err, &h); // a fatal code stops every later output
    EXPECT_EQ(lvhost::ResizeCalls(), calls);
    lvhost::Dispose(h);
    lvhost::Dispose(fresh);
}

} // namespace
