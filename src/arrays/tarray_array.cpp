#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray_array.h>

#include "arrays/handle_array.h"
#include "arrays/owned_table.h"
#include "arrays/range.h"
#include "core/memory.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

namespace {

using koa::arrays::DeleteTable;
using koa::arrays::NewTable;
using koa::memory::New;

template <typename Row> Row** CopyRows(Row* const* source, int n) {
    return NewTable<Row>(n,
                         [source](int i) { return source[i] ? New<Row>(*source[i]) : New<Row>(); });
}

} // namespace

#define KOA_TAA template <typename Row, typename T, typename H>
#define KOA_TAA_CLASS TArrayArray<Row, T, H>

// Constructors and copies give no rows, and changes leave the list as it was, when the memory
// for their result cannot be had.
KOA_TAA KOA_TAA_CLASS::TArrayArray() : rows(nullptr), count(0) {}

KOA_TAA KOA_TAA_CLASS::TArrayArray(int n) : rows(nullptr), count(0) {
    Adopt(NewTable<Row>(n, [](int) { return New<Row>(); }), n);
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(const Row* values, int n) : rows(nullptr), count(0) {
    if (values != nullptr)
        Adopt(NewTable<Row>(n, [values](int i) { return New<Row>(values[i]); }), n);
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(Row** values, int n) : rows(nullptr), count(0) {
    if (values != nullptr)
        Adopt(CopyRows(values, n), n);
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(H h) : rows(nullptr), count(0) {
    const int32_t n = koa::arrays::ElementCount(h);
    if (n > 0)
        Adopt(NewTable<Row>(n, [h](int i) { return New<Row>((*h)->elt[i]); }), n);
}

KOA_TAA KOA_TAA_CLASS::TArrayArray(const TArrayArray& other) : rows(nullptr), count(0) {
    Adopt(CopyRows(other.rows, other.count), other.count);
}

KOA_TAA KOA_TAA_CLASS::~TArrayArray() {
    Empty();
}

KOA_TAA void KOA_TAA_CLASS::Empty() {
    DeleteTable(rows, count);
    rows = nullptr;
    count = 0;
}

// Takes the table of n rows in place of the current ones; a null table of a non-empty result
// is the memory that was missing, and changes nothing.
KOA_TAA void KOA_TAA_CLASS::Adopt(Row** table, int n) {
    if (table == nullptr && n > 0)
        return;
    Empty();
    rows = table;
    count = table ? n : 0;
}

KOA_TAA void KOA_TAA_CLASS::AssignSizes(const int* sizes, int given, int n) {
    const int total = std::max(n, 1);
    Adopt(NewTable<Row>(total, [&](int i) { return New<Row>(i < given ? sizes[i] : 0); }), total);
}

KOA_TAA void KOA_TAA_CLASS::AssignRows(const Row* const* values, int given, int n) {
    const int total = std::max(n, 1);
    Adopt(NewTable<Row>(
              total,
              [&](int i) { return i < given && values[i] ? New<Row>(*values[i]) : New<Row>(); }),
          total);
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::operator=(const TArrayArray& other) {
    if (this != &other)
        Adopt(CopyRows(other.rows, other.count), other.count);
    return *this;
}

KOA_TAA int KOA_TAA_CLASS::GetSize() const {
    return count;
}

KOA_TAA int KOA_TAA_CLASS::GetUpperBound() const {
    return count - 1;
}

KOA_TAA LV_int32 KOA_TAA_CLASS::GetTotalElements() const {
    int64_t total = 0;
    for (int i = 0; i < count; ++i)
        total += rows[i]->GetSize();
    return total <= INT32_MAX ? static_cast<LV_int32>(total) : -1;
}

KOA_TAA TArray<LV_int32, 3, LV_int32Array**> KOA_TAA_CLASS::GetSizes() const {
    TArray<LV_int32, 3, LV_int32Array**> sizes(count);
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

// Empty when the elements do not fit one row or their memory cannot be had.
KOA_TAA Row KOA_TAA_CLASS::CreateFlattenedArray() const {
    const unsigned long failures = koa::memory::Failures();
    Row flat(static_cast<int>(std::max<LV_int32>(GetTotalElements(), 0)));
    int next = 0;
    for (int i = 0; i < count && flat.GetSize() > 0; ++i) {
        Row& row = *rows[i];
        for (int j = 0; j < row.GetSize(); ++j)
            flat[next++] = row[j];
    }
    return koa::memory::Failures() == failures ? flat : Row();
}

KOA_TAA KOA_TAA_CLASS KOA_TAA_CLASS::SubArray(int start, int n) const {
    const int len = koa::arrays::SubRangeLength(start, n, count);
    return len > 0 ? TArrayArray(rows + start, len) : TArrayArray();
}

// Moves the n new rows, a table of their own, into a new table before pos; the existing rows
// keep their addresses. Without room for them the new rows are dropped.
KOA_TAA void KOA_TAA_CLASS::Splice(Row** added, int n, int pos) {
    if (added == nullptr)
        return;
    if (koa::arrays::SpliceBlock<Row*>(rows, count, added, n, pos))
        koa::memory::FreeBlock(added);
    else
        DeleteTable(added, n);
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Insert(const Row& row, int pos) {
    Splice(NewTable<Row>(1, [&row](int) { return New<Row>(row); }), 1, pos);
    return *this;
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Insert(const TArrayArray& other, int pos) {
    if (other.count > 0)
        Splice(CopyRows(other.rows, other.count), other.count, pos);
    return *this;
}

KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Initialize(const T& value) {
    for (int i = 0; i < count; ++i)
        rows[i]->Initialize(value, -1);
    return *this;
}

// The copies are made before the old rows go, so row may be one of them.
KOA_TAA KOA_TAA_CLASS& KOA_TAA_CLASS::Initialize(const Row& row, int n) {
    if (n < 0)
        n = count;
    Adopt(NewTable<Row>(n, [&row](int) { return New<Row>(row); }), std::max(n, 0));
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
    TArrayArray<TArray<LV_int32, 3, LV_int32Array**>, LV_int32, LV_int32ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<LV_uInt32, 7, LV_uInt32Array**>, LV_uInt32, LV_uInt32ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<float, 9, LV_float32Array**>, float, LV_float32ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<double, 10, LV_float64Array**>, double, LV_float64ArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF
    TArrayArray<TArray<bool, 1, LV_boolArray**>, bool, LV_boolArrayArray**>;
template class KOA_DEV_TEMPLATE_DEF TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
