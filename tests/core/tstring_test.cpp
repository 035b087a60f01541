#include "arrays/array_values.h"
#include "support/allocations.h"
#include "support/lv_test.h"

#include <cstring>
#include <sstream>

namespace {

std::string S(const TString& t) {
    return std::string(t.CStr(), t.Length());
}

TEST(TString, ConstructionCopiesSubstringsEditsAndOrder) {
    EXPECT_EQ(S(TString("abc", 10)) + S(TString("abcdef", 2)) + TString().CStr(), "abcab");
    EXPECT_TRUE(TString(static_cast<const char*>(nullptr)).IsEmpty() &&
                TString(static_cast<LStr**>(nullptr)).IsEmpty());
    TString a("hello"), b(a);
    b.MakeUpper();
    EXPECT_EQ(S(a) + S(b), "helloHELLO");
    a = a;
    a = a.CStr() + 2; // a pointer into its own text
    a += a;
    EXPECT_EQ(S(a) + S("x" + TString("y") + "z"), "llolloxyz");

    const TString s("abcdef");
    const std::pair<TString, const char*> cases[] = {
        {s.Mid(1, 2), "bc"}, {s.Mid(4, 0), "ef"},   {s.Mid(4, 10), "ef"}, {s.Mid(0, 3), "abc"},
        {s.Mid(6, 1), ""},   {s.Mid(-1, 2), ""},    {s.Left(0), ""},      {s.Left(-3), ""},
        {s.Left(2), "ab"},   {s.Left(9), "abcdef"}, {s.Right(0), ""},     {s.Right(10), "abcdef"},
        {s.Right(2), "ef"}};
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(S(got), expected);

    TString t("  \t x y \r\n"), ab("abba cab"), path("path\\//"), x("AB1z"), lr(" x ");
    t.Trim();
    ab.TrimLeft("ab");
    path.TrimRight("\\/");
    lr.TrimLeft();
    EXPECT_EQ(S(t) + "|" + S(ab) + "|" + S(path) + "|" + S(lr), "x y| cab|path|x ");
    lr.TrimRight();
    x.MakeLower();
    x.MakeReverse();
    EXPECT_EQ(S(lr) + S(x), "xz1ba");
    TString blank(" \t\r\n"), blankLeft(blank), blankRight(blank);
    blank.Trim();
    blankLeft.TrimLeft();
    blankRight.TrimRight();
    EXPECT_TRUE(blank.IsEmpty() && blankLeft.IsEmpty() && blankRight.IsEmpty());

    // Byte order, unsigned and case-sensitive: each pair with the sign of left - right.
    const std::tuple<TString, TString, int> order[] = {{"ab", "abc", -1},
                                                       {"B", "a", -1},
                                                       {"\xE9", "z", 1},
                                                       {"same", TString("same", 99), 0},
                                                       {TString(), "", 0}};
    for (const auto& [l, r, sign] : order)
        EXPECT_EQ(Order(l, r), sign) << l.CStr() << " against " << r.CStr();
}

TEST(TString, FormatIsCappedAt65536CharactersAndStreamsReadWords) {
    allocations::Watch small;
    TString t, none("x");
    t.Format("%d-%s", 7, "x");
    none.Format("%s", "");
    EXPECT_EQ(S(t) + "|" + S(none), "7-x|");
    EXPECT_LT(small.Largest(), 2000u) << "short texts need no larger buffer";
    const std::string big(70000, 'q');
    t.Format("%s!", big.c_str());
    EXPECT_EQ(S(t), big.substr(0, 65536));
    allocations::Watch watch;
    t.Format("%*d", 100000000, 7);
    EXPECT_LE(watch.Largest(), 65537u) << "a huge width stays within the last scratch buffer";
    EXPECT_EQ(S(t), std::string(65536, ' '));
    // A character the formatter cannot convert (not ASCII, in the C locale) stops it: the text
    // keeps what was written, and its length is that of its characters.
    t.Format("ab%lsc", L"\u00e9");
    EXPECT_EQ(t.Length(), std::strlen(t.CStr()));

    const std::string word(250, 'w');
    std::istringstream in("  hello " + word + " end");
    std::string words;
    while (in >> t)
        words += S(t) + (in.peek() == ' ' ? "_" : ".");
    EXPECT_EQ(words, "hello_" + word + "_end.");
    EXPECT_TRUE(t.IsEmpty()) << "nothing more to read";
}

class TStringToLabVIEW : public LvTest {};

TEST_F(TStringToLabVIEW, ReadsAndWritesHandles) {
    LStr** h = lvhost::NewString("abXcd");
    (*h)->str[2] = '\0';
    EXPECT_EQ(TString(h).Length(), 5u) << "the handle's count, not the first NUL";
    ErrorCluster err(true, 3, "an ordinary error does not stop output");
    LStr** fresh = nullptr;
    TString("longer text").SetLV_String(&err, &h);
    TString("new").SetLV_String(&err, &fresh);
    EXPECT_EQ(lvhost::Text(h) + "|" + lvhost::Text(fresh), "longer text|new");
    TString().SetLV_String(&err, &h);
    EXPECT_EQ((*h)->cnt, 0);
    lvhost::FailCall(1, lvhost::kMemoryFull);
    TString("replacement").SetLV_String(&err, &fresh);
    TString("ignored").SetLV_String(&err, &h); // a fatal code stops every later output
    EXPECT_EQ(std::tuple(err.FatalCode(), lvhost::Text(fresh), lvhost::ResizeCalls()),
              std::tuple(lvhost::kMemoryFull, "new", 4));
    lvhost::Dispose(h);
    lvhost::Dispose(fresh);
}

} // namespace
