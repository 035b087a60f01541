#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring.h>

#include "support/lv_test.h"

#include <sstream>
#include <string>

namespace {

std::string S(const TString& t) {
    return std::string(t.CStr(), t.Length());
}

TEST(TString, ConstructionCopiesAtMostTheLimit) {
    TString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(empty.CStr(), "");
    EXPECT_EQ(S(TString("abc", 10)), "abc");
    EXPECT_EQ(S(TString("abcdef", 2)), "ab");
    EXPECT_EQ(TString("abcdef", 2).Length(), 2u);
    EXPECT_TRUE(TString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(TString(static_cast<LStr**>(nullptr)).IsEmpty());
}

TEST(TString, CopiesAreDeepAndSelfSafe) {
    TString a("hello");
    TString b(a);
    b.MakeUpper();
    EXPECT_EQ(S(a), "hello");
    EXPECT_EQ(S(b), "HELLO");
    a = a;
    EXPECT_EQ(S(a), "hello");
    a = a.CStr() + 2; // a pointer into its own text
    EXPECT_EQ(S(a), "llo");
    a += a;
    EXPECT_EQ(S(a), "llollo");
    EXPECT_EQ(S("x" + TString("y") + "z"), "xyz");
}

TEST(TString, Substrings) {
    const TString s("abcdef");
    EXPECT_EQ(S(s.Mid(1, 2)), "bc");
    EXPECT_EQ(S(s.Mid(4, 0)), "ef");
    EXPECT_EQ(S(s.Mid(4, 10)), "ef");
    EXPECT_TRUE(s.Mid(6, 1).IsEmpty());
    EXPECT_TRUE(s.Mid(-1, 2).IsEmpty());
    EXPECT_TRUE(s.Left(0).IsEmpty());
    EXPECT_TRUE(s.Left(-3).IsEmpty());
    EXPECT_EQ(S(s.Left(2)), "ab");
    EXPECT_TRUE(s.Right(0).IsEmpty());
    EXPECT_EQ(S(TString("abc").Right(10)), "abc");
    EXPECT_EQ(S(TString("abc").Right(2)), "bc");
}

TEST(TString, TrimFamily) {
    TString t("  \t x y \r\n");
    t.Trim();
    EXPECT_EQ(S(t), "x y");
    TString blank(" \t\r\n");
    blank.Trim();
    EXPECT_TRUE(blank.IsEmpty());
    TString ab("abba cab");
    ab.TrimLeft("ab");
    EXPECT_EQ(S(ab), " cab");
    TString right("path\\//");
    right.TrimRight("\\/");
    EXPECT_EQ(S(right), "path");
    TString untouched("x");
    untouched.TrimLeft();
    EXPECT_EQ(S(untouched), "x");
}

TEST(TString, OrderIsBytewiseAndCaseSensitive) {
    EXPECT_LT(TString("abc"), TString("abd"));
    EXPECT_LT(TString("ab"), TString("abc"));
    EXPECT_LT(TString("B"), TString("a"));
    EXPECT_GT(TString("\xE9"), TString("z")); // bytes compare unsigned
    EXPECT_EQ(TString("same"), TString("same", 99));
    EXPECT_EQ(TString(""), TString());
    EXPECT_GE(TString("b"), TString("b"));
    EXPECT_NE(TString("a"), TString("b"));
}

TEST(TString, CaseAndReverse) {
    TString t("Ab1z");
    t.MakeUpper();
    EXPECT_EQ(S(t), "AB1Z");
    t.MakeLower();
    EXPECT_EQ(S(t), "ab1z");
    t.MakeReverse();
    EXPECT_EQ(S(t), "z1ba");
}

TEST(TString, FormatIsCappedAt65536Characters) {
    TString t;
    t.Format("%d-%s", 7, "x");
    EXPECT_EQ(S(t), "7-x");
    t.Format("%s", "");
    EXPECT_TRUE(t.IsEmpty());
    const std::string big(70000, 'q');
    t.Format("%s!", big.c_str());
    EXPECT_EQ(t.Length(), 65536u);
    EXPECT_EQ(S(t), big.substr(0, 65536));
    const std::string fits(65000, 'r');
    t.Format("%s", fits.c_str());
    EXPECT_EQ(S(t), fits);
}

TEST(TString, StreamReadsOneWord) {
    std::istringstream in("  hello world");
    TString word;
    in >> word;
    EXPECT_EQ(S(word), "hello");
    EXPECT_EQ(in.get(), ' ');
    const std::string longWord(250, 'w');
    std::istringstream longIn(longWord);
    longIn >> word;
    EXPECT_EQ(S(word), longWord);
    std::istringstream none("   ");
    none >> word;
    EXPECT_TRUE(word.IsEmpty());
}

class TStringToLabVIEW : public LvTest {};

TEST_F(TStringToLabVIEW, ReadsAndWritesHandles) {
    LStr** h = lvhost::NewString("abc");
    TString read(h);
    EXPECT_EQ(S(read), "abc");
    ErrorCluster err;
    TString("longer text").SetLV_String(&err, &h);
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(Text(h), "longer text");
    TString().SetLV_String(&err, &h);
    EXPECT_EQ((*h)->cnt, 0);
    lvhost::Dispose(h);

    LStr** fresh = nullptr;
    TString("new").SetLV_String(&err, &fresh);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Text(fresh), "new");
    lvhost::Dispose(fresh);
}

TEST_F(TStringToLabVIEW, ManagerFailureBecomesFatalAndLeavesHandle) {
    LStr** h = lvhost::NewString("keep");
    ErrorCluster err;
    err.SetError(3, "an ordinary error does not stop output");
    lvhost::FailCall(1, lvhost::kMemoryFull);
    TString("replacement").SetLV_String(&err, &h);
    EXPECT_EQ(err.FatalCode(), lvhost::kMemoryFull);
    EXPECT_EQ(Text(h), "keep");

    const int calls = lvhost::ResizeCalls();
    TString("ignored").SetLV_String(&err, &h); // a fatal code stops every later output
    EXPECT_EQ(lvhost::ResizeCalls(), calls);
    EXPECT_EQ(Text(h), "keep");
    lvhost::Dispose(h);
}

TEST_F(TStringToLabVIEW, EmbeddedNulKeepsHandleCount) {
    LStr** h = lvhost::NewString("abXcd");
    (*h)->str[2] = '\0';
    TString t(h);
    EXPECT_EQ(t.Length(), 5u);
    EXPECT_STREQ(t.CStr(), "ab");
    lvhost::Dispose(h);
}

} // namespace
