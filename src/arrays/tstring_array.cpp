#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring_array.h>

#include "arrays/handle_array.h"
#include "arrays/owned_table.h"
#include "arrays/range.h"
#include "core/memory.h"

#include <algorithm>

namespace {

using koa::arrays::DeleteTable;
using koa::arrays::NewTable;
using koa::memory::New;

// A table of n new strings, string i built from values[i].
template <typename Source> TString** NewStrings(const Source* values, int n) {
    return NewTable<TString>(n, [values](int i) { return New<TString>(values[i]); });
}

TString** CopyStrings(TString* const* values, int n) {
    return NewTable<TString>(n, [values](int i) { return New<TString>(*values[i]); });
}

} // namespace

// Constructors and copies give an empty array, and changes leave the array as it was, when the
// memory for their result cannot be had.
TStringArray::TStringArray() : elements(nullptr), count(0) {}

TStringArray::TStringArray(int n) : elements(nullptr), count(0) {
    Adopt(NewTable<TString>(n, [](int) { return New<TString>(); }), n);
}

TStringArray::TStringArray(const TString* values, int n) : elements(nullptr), count(0) {
    if (values != nullptr)
        Adopt(NewStrings(values, n), n);
}

TStringArray::TStringArray(const char** values, int n) : elements(nullptr), count(0) {
    if (values != nullptr)
        Adopt(NewStrings(values, n), n);
}

TStringArray::TStringArray(TString** values, int n) : elements(nullptr), count(0) {
    if (values == nullptr)
        return;
    Adopt(NewTable<TString>(
              n, [values](int i) { return values[i] ? New<TString>(*values[i]) : New<TString>(); }),
          n);
}

TStringArray::TStringArray(LV_stringArray** h) : elements(nullptr), count(0) {
    const int32_t n = koa::arrays::ElementCount(h);
    if (n > 0)
        Adopt(NewStrings((*h)->elt, n), n);
}

TStringArray::TStringArray(const TStringArray& other) : elements(nullptr), count(0) {
    *this = other;
}

TStringArray::~TStringArray() {
    Empty();
}

void TStringArray::Empty() {
    DeleteTable(elements, count);
    elements = nullptr;
    count = 0;
}

// Takes the table of n elements in place of the current ones; a null table of a non-empty
// result is the memory that was missing, and changes nothing.
void TStringArray::Adopt(TString** table, int n) {
    if (table == nullptr && n > 0)
        return;
    Empty();
    elements = table;
    count = table ? n : 0;
}

void TStringArray::Assign(const TString* values, int given, int n) {
    const int total = std::max(n, 1);
    Adopt(NewTable<TString>(
              total, [&](int i) { return i < given ? New<TString>(values[i]) : New<TString>(); }),
          total);
}

void TStringArray::Assign(const char* const* values, int given, int n) {
    const int total = std::max(n, 1);
    Adopt(NewTable<TString>(total, [&](int i) { return New<TString>(i < given ? values[i] : ""); }),
          total);
}

TStringArray& TStringArray::operator=(const TStringArray& other) {
    if (this != &other)
        Adopt(CopyStrings(other.elements, other.count), other.count);
    return *this;
}

int TStringArray::GetSize() const {
    return count;
}

int TStringArray::GetUpperBound() const {
    return count - 1;
}

TStringArray::operator const TString*() const {
    return count > 0 ? elements[0] : nullptr;
}

TString TStringArray::operator[](int i) const {
    return i >= 0 && i < count ? *elements[i] : TString();
}

TString& TStringArray::operator[](int i) {
    if (i >= 0 && i < count)
        return *elements[i];
    static TString outside;
    outside = TString();
    return outside;
}

TStringArray TStringArray::SubArray(int start, int n) const {
    const int len = koa::arrays::SubRangeLength(start, n, count);
    return len > 0 ? TStringArray(elements + start, len) : TStringArray();
}

// Moves the n new elements, a table of its own, into a new table before pos; the existing
// elements keep their addresses. Without room for them the new elements are dropped.
void TStringArray::Splice(TString** added, int n, int pos) {
    if (added == nullptr)
        return;
    if (koa::arrays::SpliceBlock<TString*>(elements, count, added, n, pos))
        koa::memory::FreeBlock(added);
    else
        DeleteTable(added, n);
}

TStringArray& TStringArray::Insert(TString s, int pos) {
    Splice(NewStrings(&s, 1), 1, pos);
    return *this;
}

TStringArray& TStringArray::Insert(const TStringArray& other, int pos) {
    if (other.count > 0)
        Splice(CopyStrings(other.elements, other.count), other.count, pos);
    return *this;
}

TStringArray& TStringArray::Initialize(TString s, int n) {
    if (n < 0)
        n = count;
    Adopt(NewTable<TString>(n, [&s](int) { return New<TString>(s); }), std::max(n, 0));
    return *this;
}

int TStringArray::CompareTest(const TStringArray& other) const {
    const int m = std::min(count, other.count);
    if (m >= 1) {
        int i = 0;
        while (i < m - 1 && *elements[i] == *other.elements[i])
            ++i;
        if (*elements[i] > *other.elements[i])
            return 1;
        if (*elements[i] < *other.elements[i])
            return -1;
    }
    return count > other.count ? 1 : count < other.count ? -1 : 0;
}

bool TStringArray::operator==(const TStringArray& other) const {
    if (count != other.count)
        return false;
    for (int i = 0; i < count; ++i) {
        if (*elements[i] != *other.elements[i])
            return false;
    }
    return true;
}

bool TStringArray::operator!=(const TStringArray& other) const {
    return !(*this == other);
}
bool TStringArray::operator<(const TStringArray& other) const {
    return CompareTest(other) < 0;
}
bool TStringArray::operator<=(const TStringArray& other) const {
    return CompareTest(other) <= 0;
}
bool TStringArray::operator>(const TStringArray& other) const {
    return CompareTest(other) > 0;
}
bool TStringArray::operator>=(const TStringArray& other) const {
    return CompareTest(other) >= 0;
}

void TStringArray::SetLV_Array(ErrorCluster* err, LV_stringArray*** h) const {
    auto drop = [](ErrorCluster* e, LStr** slot) {
        const int32_t result = DSDisposeHandle(slot);
        if (result != 0)
            e->SetFatal(result);
    };
    auto write = [this](ErrorCluster* e, int i, LStr**& slot) {
        elements[i]->SetLV_String(e, &slot);
    };
    koa::arrays::WriteHandleArray(err, h, count, drop, write);
}
