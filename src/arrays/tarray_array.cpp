#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "arrays/handle_array.h"
#include "arrays/range.h"

#include <algorithm>
#include <type_traits>

namespace {

template <typename Row> Row** NewTable(int n) {
    return n > 0 ? new Row*[static_cast<size_t>(n)]() : nullptr;
}

template <typename Row> Row** CopyRows(Row* const* source, int n) {
    Row** table = NewTable<Row>(n);
    for (int i = 0; i < n; ++i)
        table[i] = source[i] ? new Row(*source[i]) : new Row();
    return table;
}

} // namespace

#define KOA_TAA template <typename Row, typename T, typename H>
#define KOA_TAA_CLASS TArrayArray<Row, T, H>

KOA_TAA KOA_TAA_CLASS::TArrayArray() : rows(nullptr), count(0) {}

KOA_TAA KOA_TAA_CLASS::TArrayArray(int n) : rows(NewTable<Row>(n)), count(std::max(n, 0)) {
    for (int i = 0; i < count; ++i)
        rows[i] = new Row();
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(const Row* values, int n) : rows(nullptr), count(0) {
    if (values == nullptr || n < 1)
        return;
    rows = NewTable<Row>(n);
    for (int i = 0; i < n; ++i)
        rows[i] = new Row(values[i]);
    count = n;
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(Row** values, int n) : rows(nullptr), count(0) {
    if (values != nullptr && n > 0) {
        rows = CopyRows(values, n);
        count = n;
    }
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(H h) : rows(nullptr), count(0) {
    const int32_t n = koa::arrays::ElementCount(h);
    rows = NewTable<Row>(n);
    for (int i = 0; i < n; ++i)
        rows[i] = new Row((*h)->elt[i]);
    count = n;
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(const TArrayArray& other)
    : rows(CopyRows(other.rows, other.count)), count(other.count) {}

KOA_TAA KOA_TAA_CLASS::~TArrayArray() {
    Empty();
}

KOA_TAA void KOA_TAA_CLASS::Empty() {
    for (int i = 0; i < count; ++i)
        delete rows[i];
    delete[] rows;
    rows = nullptr;
    count = 0;
}

KOA_TAA void KOA_TAA_CLASS::AssignSizes(const int* sizes, int given, int n) {
    Empty();
    const int total = std::max(n, 1);
    rows = NewTable<Row>(total);
    for (int i = 0; i < total; ++i)
        rows[i] = new Row(i < given ? sizes[i] : 0);
    count = total;
}

KOA_TAA void KOA_TAA_CLASS::AssignRows(const Row* const* values, int given, int n) {
    Empty();
    const int total = std::max(n, 1);
    rows = NewTable<Row>(total);
    for (int i = 0; i < total; ++i)
        rows[i] = i < given && values[i] ? new Row(*values[i]) : new Row();
    count = total;
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::operator=(const TArrayArray& other) {
    if (this != &other) {
        Row** table = CopyRows(other.rows, other.count);
        Empty();
        rows = table;
        count = other.count;
    }
    return *this;
}

KOA_TAA int KOA_TAA_CLASS::GetSize() const {
    return count;
}

KOA_TAA int KOA_TAA_CLASS::GetUpperBound() const {
    return count - 1;
}

KOA_TAA int32_t KOA_TAA_CLASS::GetTotalElements() const {
    int32_t total = 0;
    for (int i = 0; i < count; ++i)
        total += rows[i]->GetSize();
    return total;
}

KOA_TAA TArray<int32_t, 3, LV_int32Array**> KOA_TAA_CLASS::GetSizes() const {
    TArray<int32_t, 3, LV_int32Array**> sizes(count);
    for (int i = 0; i < count; ++i)
        sizes[i] = rows[i]->GetSize();
    return sizes;
}

// Out of range: a row shared by all out-of-range accesses, which keeps what is written into it.
KOA_TAA Row& KOA_TAA_CLASS::operator[](int i) {
    if (i >= 0 && i < count)
        return *rows[i];
    static Row dummy;
    return dummy;
}

KOA_TAA Row KOA_TAA_CLASS::operator[](int i) const {
    return i >= 0 && i < count ? *rows[i] : Row();
}

KOA_TAA Row KOA_TAA_CLASS::CreateFlattenedArray() const {
    Row flat(GetTotalElements());
    int next = 0;
    for (int i = 0; i < count; ++i) {
        const Row& row = *rows[i];
        for (int j = 0; j < row.GetSize(); ++j)
            flat[next++] = row[j];
    }
    return flat;
}

KOA_TAA KOA_TAA_CLASS KOA_TAA_CLASS::SubArray(int start, int n) const {
    const int len = koa::arrays::SubRangeLength(start, n, count);
    return len > 0 ? TArrayArray(rows + start, len) : TArrayArray();
}

// Moves the n new rows into a new table before pos; the existing rows keep their addresses.
KOA_TAA void KOA_TAA_CLASS::Splice(Row** added, int n, int pos) {
    koa::arrays::SpliceBlock<Row*>(rows, count, added, n, pos);
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Insert(const Row& row, int pos) {
    Row* added = new Row(row);
    Splice(&added, 1, pos);
    return *this;
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Insert(const TArrayArray& other, int pos) {
    if (other.count == 0)
        return *this;
    const int n = other.count;
    Row** added = CopyRows(other.rows, n);
    Splice(added, n, pos);
    delete[] added;
    return *this;
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Initialize(const T& value) {
    for (int i = 0; i < count; ++i)
        rows[i]->Initialize(value, -1);
    return *this;
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Initialize(const Row& row, int n) {
    if (n < 0)
        n = count;
    const Row copy(row); // row may be one of the rows destroyed here
    Empty();
    rows = NewTable<Row>(n);
    for (int i = 0; i < n; ++i)
        rows[i] = new Row(copy);
    count = std::max(n, 0);
    return *this;
}

KOA_TAA void KOA_TAA_CLASS::SetLV_Array(ErrorCluster* err, H* h) const {
    using RowHandle = std::remove_reference_t<decltype((**h)->elt[0])>;
    auto drop = [](ErrorCluster* e, RowHandle& slot) {
        Row().SetLV_Array(e, &slot);
        if (e->FatalStatus())
            return;
        const int32_t result = DSDisposeHandle(slot);
        if (result != 0)
            e->SetFatal(result);
    };
    auto write = [this](ErrorCluster* e, int i, RowHandle& slot) {
        rows[i]->SetLV_Array(e, &slot);
    };
    koa::arrays::WriteHandleArray(err, h, count, drop, write);
}

#undef KOA_TAA_CLASS
#undef KOA_TAA

template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<char, 1, LV_int8Array**>, char, LV_int8ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<unsigned char, 5, LV_uInt8Array**>, unsigned char, LV_uInt8ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<short, 2, LV_int16Array**>, short, LV_int16ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<unsigned short, 6, LV_uInt16Array**>, unsigned short, LV_uInt16ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<int32_t, 3, LV_int32Array**>, int32_t, LV_int32ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<uint32_t, 7, LV_uInt32Array**>, uint32_t, LV_uInt32ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<float, 9, LV_float32Array**>, float, LV_float32ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<double, 10, LV_float64Array**>, double, LV_float64ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<bool, 1, LV_boolArray**>, bool, LV_boolArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
