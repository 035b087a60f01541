// What the value classes do when memory runs out: no exception, and a change is made whole or
// not at all. The test program's operator new refuses one request after another.
#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "support/allocations.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using allocations::Watch;
using Row = TArray<double, 10, LV_float64Array**>;
using Rows = TArrayArray<Row, double, LV_float64ArrayArray**>;
using TextRows = TArrayArray<TStringArray, TString, LV_stringArrayArray**>;

std::string Text(const TStringArray& a) {
    std::string text;
    for (int i = 0; i < a.GetSize(); ++i)
        text += (i ? "|" : "") + std::string(a[i].CStr());
    return text;
}

std::string Text(const TextRows& rows) {
    std::string text;
    for (int i = 0; i < rows.GetSize(); ++i)
        text += (i ? "/" : "") + Text(rows[i]);
    return text;
}

std::string Text(const Rows& rows) {
    std::string text;
    for (int i = 0; i < rows.GetSize(); ++i)
        text += (i ? "/" : "") + std::to_string(rows[i].GetSize());
    return text;
}

// Builds its values, makes one change while the nth allocation of it is refused (0: none), and
// describes the result.
using Change = std::string (*)(Watch& watch, size_t nth);

struct Case {
    const char* name;
    Change change;
    const char* unchanged;
    const char* done;
};

const Case kCases[] = {
    {"TString +=",
     [](Watch& w, size_t nth) {
         TString s("abc");
         w.RefuseNth(nth);
         s += "def";
         w.RefuseNone();
         return std::string(s.CStr());
     },
     "abc", "abcdef"},
    {"TString copy",
     [](Watch& w, size_t nth) {
         const TString s("abc");
         w.RefuseNth(nth);
         const TString copy(s);
         w.RefuseNone();
         return std::string(copy.CStr());
     },
     "", "abc"},
    {"TString Format",
     [](Watch& w, size_t nth) {
         TString s("abc");
         w.RefuseNth(nth);
         s.Format("%s-%d", s.CStr(), 7);
         w.RefuseNone();
         return std::string(s.CStr());
     },
     "abc", "abc-7"},
    {"ErrorCluster SetError",
     [](Watch& w, size_t nth) {
         ErrorCluster err;
         err.SetWarning(2, "warning");
         w.RefuseNth(nth);
         err.SetError(15, "missing '%s'", "KEY");
         w.RefuseNone();
         return std::to_string(err.Code()) + ":" + err.Source().CStr();
     },
     "15:", "15:missing 'KEY'"},
    {"TStringArray Insert",
     [](Watch& w, size_t nth) {
         TStringArray a(2, "a", "b");
         const TStringArray xy(2, "x", "y");
         w.RefuseNth(nth);
         a.Insert(xy, 1);
         w.RefuseNone();
         return Text(a);
     },
     "a|b", "a|x|y|b"},
    {"TStringArray copy",
     [](Watch& w, size_t nth) {
         const TStringArray a(2, "a", "b");
         w.RefuseNth(nth);
         const TStringArray copy(a);
         w.RefuseNone();
         return Text(copy);
     },
     "", "a|b"},
    {"TArrayArray Initialize",
     [](Watch& w, size_t nth) {
         const TStringArray ab(2, "a", "b"), c(1, "c");
         TextRows rows(2, &ab, &c);
         w.RefuseNth(nth);
         rows.Initialize(c, 3);
         w.RefuseNone();
         return Text(rows);
     },
     "a|b/c", "c/c/c"},
    {"TArrayArray Insert into itself",
     [](Watch& w, size_t nth) {
         const TStringArray ab(2, "a", "b"), c(1, "c");
         TextRows rows(2, &ab, &c);
         w.RefuseNth(nth);
         rows.Insert(rows, 1);
         w.RefuseNone();
         return Text(rows);
     },
     "a|b/c", "a|b/a|b/c/c"},
    {"TArrayArray flattened",
     [](Watch& w, size_t nth) {
         const TStringArray ab(2, "a", "b"), c(1, "c");
         const TextRows rows(2, &ab, &c);
         w.RefuseNth(nth);
         const TStringArray flat = rows.CreateFlattenedArray();
         w.RefuseNone();
         return Text(flat);
     },
     "", "a|b|c"},
    {"TArrayArray numeric copy",
     [](Watch& w, size_t nth) {
         const Rows rows(3, 2, 0, 4);
         w.RefuseNth(nth);
         Rows copy;
         copy = rows;
         w.RefuseNone();
         return Text(copy);
     },
     "", "2/0/4"},
};

TEST(AllocationFailure, AValueChangeIsWholeOrNotMadeAndNothingIsThrown) {
    for (const Case& c : kCases) {
        {
            Watch watch;
            EXPECT_EQ(c.change(watch, 0), c.done) << c.name;
        }
        size_t nth = 1;
        for (;; ++nth) {
            Watch watch;
            std::string result;
            EXPECT_NO_THROW(result = c.change(watch, nth)) << c.name;
            if (watch.Refused() == 0)
                break;
            EXPECT_EQ(result, c.unchanged) << c.name << ", allocation " << nth << " refused";
        }
        EXPECT_GT(nth, 1u) << c.name << " allocates nothing";
    }
}

} // namespace
