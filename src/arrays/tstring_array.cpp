#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring_array.h>

#include "arrays/handle_array.h"
#include "arrays/range.h"

#include <algorithm>

namespace {

TString** NewTable(int n) {
    return n > 0 ? new TString*[static_cast<size_t>(n)]() : nullptr;
}

// A table of n new strings, each built from one of the values.
template <typename Source> TString** NewStrings(const Source* values, int n) {
    TString** table = NewTable(n);
    for (int i = 0; i < n; ++i)
        table[i] = new TString(values[i]);
    return table;
}

} // namespace

TStringArray::TStringArray() : elements(nullptr), count(0) {}

TStringArray::TStringArray(int n) : elements(nullptr), count(0) {
    elements = NewTable(n);
    for (int i = 0; i < n; ++i)
        elements[i] = new TString();
    count = std::max(n, 0);
}

TStringArray::TStringArray(const TString* values, int n) : elements(nullptr), count(0) {
    if (values != nullptr && n > 0) {
        elements = NewStrings(values, n);
        count = n;
    }
}

TStringArray::TStringArray(const char** values, int n) : elements(nullptr), count(0) {
    if (values != nullptr && n > 0) {
        elements = NewStrings(values, n);
        count = n;
    }
}

TStringArray::TStringArray(TString** values, int n) : elements(nullptr), count(0) {
    if (values == nullptr || n < 1)
        return;
    elements = NewTable(n);
    for (int i = 0; i < n; ++i)
        elements[i] = new TString(values[i] ? *values[i] : TString());
    count = n;
}

TStringArray::TStringArray(LV_stringArray** h) : elements(nullptr), count(0) {
    const int32_t n = koa::arrays::ElementCount(h);
    if (n > 0) {
        elements = NewStrings((*h)->elt, n);
        count = n;
    }
}

TStringArray::TStringArray(const TStringArray& other) : elements(nullptr), count(0) {
    *this = other;
}

TStringArray::~TStringArray() {
    Empty();
}

void TStringArray::Empty() {
    for (int i = 0; i < count; ++i)
        delete elements[i];
    delete[] elements;
    elements = nullptr;
    count = 0;
}

void TStringArray::Assign(const TString* values, int given, int n) {
    Empty();
    count = std::max(n, 1);
    elements = NewTable(count);
    for (int i = 0; i < count; ++i)
        elements[i] = i < given ? new TString(values[i]) : new TString();
}

void TStringArray::Assign(const char* const* values, int given, int n) {
    Empty();
    count = std::max(n, 1);
    elements = NewTable(count);
    for (int i = 0; i < count; ++i)
        elements[i] = new TString(i < given ? values[i] : "");
}

TStringArray& TStringArray::operator=(const TStringArray& other) {
    if (this != &other) {
        Empty();
        elements = NewTable(other.count);
        for (int i = 0; i < other.count; ++i)
            elements[i] = new TString(*other.elements[i]);
        count = other.count;
    }
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

// Moves the n new elements into a new table before pos; the existing elements keep their
// addresses.
void TStringArray::Splice(TString** added, int n, int pos) {
    koa::arrays::SpliceBlock<TString*>(elements, count, added, n, pos);
}

TStringArray& TStringArray::Insert(TString s, int pos) {
    TString* added = new TString(s);
    Splice(&added, 1, pos);
    return *this;
}

TStringArray& TStringArray::Insert(const TStringArray& other, int pos) {
    if (other.count == 0)
        return *this;
    const int n = other.count;
    TString** added = NewTable(n);
    for (int i = 0; i < n; ++i)
        added[i] = new TString(*other.elements[i]);
    Splice(added, n, pos);
    delete[] added;
    return *this;
}

TStringArray& TStringArray::Initialize(TString s, int n) {
    if (n < 0)
        n = count;
    Empty();
    elements = NewTable(n);
    for (int i = 0; i < n; ++i)
        elements[i] = new TString(s);
    count = std::max(n, 0);
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
