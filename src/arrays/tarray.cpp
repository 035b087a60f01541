#include <koa_dev/error_cluster.h>
#include <koa_dev/tarray.h>

#include "arrays/range.h"
#include "core/lv_manager.h"
#include "core/memory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Floating-point elements of which either is NaN count as equal, so that == never fails on NaN.
template <typename T> bool SameElement(T a, T b) {
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(a) || std::isnan(b))
            return true;
    }
    return a == b;
}

// LabVIEW's Booleans are bytes; any non-zero byte reads as true.
template <typename T, typename Source> void ReadElements(T* out, const Source* in, int n) {
    if constexpr (std::is_same_v<T, bool>) {
        for (int i = 0; i < n; ++i)
            out[i] = in[i] != 0;
    } else {
        static_assert(sizeof(T) == sizeof(Source), "element sizes differ");
        std::memcpy(out, in, static_cast<size_t>(n) * sizeof(T));
    }
}

// Element blocks are C allocations: they never throw, and a large zeroed block costs nothing
// until it is written. Every function gives null for n < 1 and when the block cannot be had.
template <typename T> T* ZeroedBlock(int n) {
    return n > 0 ? static_cast<T*>(koa::memory::ZeroedBlock(static_cast<size_t>(n), sizeof(T)))
                 : nullptr;
}

template <typename T> T* CopyBlock(const T* values, int n) {
    T* block = koa::arrays::NewBlock<T>(n);
    if (block != nullptr)
        std::memcpy(block, values, static_cast<size_t>(n) * sizeof(T));
    return block;
}

} // namespace

template <typename T, int32_t C, typename H> T TArray<T, C, H>::dummy = T();

template <typename T, int32_t C, typename H> TArray<T, C, H>::TArray() : data(nullptr), count(0) {}

// The constructors give an empty array when the elements' memory cannot be had.
template <typename T, int32_t C, typename H>
TArray<T, C, H>::TArray(int n) : data(ZeroedBlock<T>(n)), count(data ? n : 0) {}

template <typename T, int32_t C, typename H>
TArray<T, C, H>::TArray(const T* values, int n)
    : data(values ? CopyBlock(values, n) : nullptr), count(data ? n : 0) {}

template <typename T, int32_t C, typename H>
TArray<T, C, H>::TArray(H h) : data(nullptr), count(0) {
    if (h == nullptr || *h == nullptr)
        return;
    data = koa::arrays::NewBlock<T>((*h)->dimSize);
    if (data == nullptr)
        return;
    count = (*h)->dimSize;
    ReadElements(data, (*h)->elt, count);
}

template <typename T, int32_t C, typename H>
TArray<T, C, H>::TArray(const TArray& other)
    : data(CopyBlock(other.data, other.count)), count(data ? other.count : 0) {}

template <typename T, int32_t C, typename H> TArray<T, C, H>::~TArray() {
    koa::memory::FreeBlock(data);
}

// Changes without the memory for their result leave the array as it was.
template <typename T, int32_t C, typename H> void TArray<T, C, H>::Adopt(T* block, int n) {
    koa::memory::FreeBlock(data);
    data = block;
    count = n;
}

template <typename T, int32_t C, typename H>
void TArray<T, C, H>::Assign(const T* values, int given, int n) {
    const int total = std::max(n, 1);
    T* block = ZeroedBlock<T>(total);
    if (block == nullptr)
        return;
    std::memcpy(block, values, static_cast<size_t>(std::min(given, total)) * sizeof(T));
    Adopt(block, total);
}

template <typename T, int32_t C, typename H>
TArray<T, C, H>& TArray<T, C, H>::operator=(const TArray& other) {
    if (this == &other)
        return *this;
    T* block = CopyBlock(other.data, other.count);
    if (block != nullptr || other.count == 0)
        Adopt(block, other.count);
    return *this;
}

template <typename T, int32_t C, typename H> int TArray<T, C, H>::GetSize() const {
    return count;
}

template <typename T, int32_t C, typename H> int TArray<T, C, H>::GetUpperBound() const {
    return count - 1;
}

template <typename T, int32_t C, typename H> TArray<T, C, H>::operator const T*() const {
    return data;
}

template <typename T, int32_t C, typename H> T& TArray<T, C, H>::operator[](int i) {
    if (i >= 0 && i < count)
        return data[i];
    dummy = T();
    return dummy;
}

template <typename T, int32_t C, typename H> T TArray<T, C, H>::operator[](int i) const {
    return i >= 0 && i < count ? data[i] : T();
}

template <typename T, int32_t C, typename H>
TArray<T, C, H> TArray<T, C, H>::SubArray(int start, int n) const {
    const int len = koa::arrays::SubRangeLength(start, n, count);
    return len > 0 ? TArray(data + start, len) : TArray();
}

template <typename T, int32_t C, typename H>
void TArray<T, C, H>::Splice(const T* values, int n, int pos) {
    koa::arrays::SpliceBlock(data, count, values, n, pos);
}

template <typename T, int32_t C, typename H>
TArray<T, C, H>& TArray<T, C, H>::Insert(T value, int pos) {
    Splice(&value, 1, pos);
    return *this;
}

template <typename T, int32_t C, typename H>
TArray<T, C, H>& TArray<T, C, H>::Insert(const TArray& other, int pos) {
    if (other.count > 0)
        Splice(other.data, other.count, pos);
    return *this;
}

template <typename T, int32_t C, typename H>
TArray<T, C, H>& TArray<T, C, H>::Initialize(T value, int n) {
    if (n < 0)
        n = count;
    if (n != count) {
        T* block = koa::arrays::NewBlock<T>(n);
        if (block == nullptr && n > 0)
            return *this;
        Adopt(block, n);
    }
    std::fill(data, data + count, value);
    return *this;
}

template <typename T, int32_t C, typename H>
int TArray<T, C, H>::CompareTest(const TArray& other) const {
    const int m = std::min(count, other.count);
    if (m >= 1) {
        int i = 0;
        while (i < m - 1 && SameElement(data[i], other.data[i]))
            ++i;
        if (data[i] > other.data[i])
            return 1;
        if (data[i] < other.data[i])
            return -1;
    }
    return count > other.count ? 1 : count < other.count ? -1 : 0;
}

template <typename T, int32_t C, typename H>
bool TArray<T, C, H>::operator==(const TArray& other) const {
    if (count != other.count)
        return false;
    for (int i = 0; i < count; ++i) {
        if (!SameElement(data[i], other.data[i]))
            return false;
    }
    return true;
}

template <typename T, int32_t C, typename H>
bool TArray<T, C, H>::operator!=(const TArray& other) const {
    return !(*this == other);
}

template <typename T, int32_t C, typename H>
bool TArray<T, C, H>::operator<(const TArray& other) const {
    return CompareTest(other) < 0;
}

template <typename T, int32_t C, typename H>
bool TArray<T, C, H>::operator<=(const TArray& other) const {
    return CompareTest(other) <= 0;
}

template <typename T, int32_t C, typename H>
bool TArray<T, C, H>::operator>(const TArray& other) const {
    return CompareTest(other) > 0;
}

template <typename T, int32_t C, typename H>
bool TArray<T, C, H>::operator>=(const TArray& other) const {
    return CompareTest(other) >= 0;
}

template <typename T, int32_t C, typename H>
void TArray<T, C, H>::SetLV_Array(ErrorCluster* err, H* h) const {
    if (err->FatalStatus())
        return;
    if (h == nullptr) {
        err->SetFatal(koa::kLvArgumentError);
        return;
    }
    const int32_t result = NumericArrayResize(C, 1, h, static_cast<size_t>(count));
    if (result != 0) {
        err->SetFatal(result);
        return;
    }
    if (count > 0)
        std::memcpy((**h)->elt, data, static_cast<size_t>(count) * sizeof(T));
    (**h)->dimSize = count;
}

template class KOA_DEV_TEMPLATE_DEF TArray<char, 1, LV_int8Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<unsigned char, 5, LV_uInt8Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<short, 2, LV_int16Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<unsigned short, 6, LV_uInt16Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<LV_int32, 3, LV_int32Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<LV_uInt32, 7, LV_uInt32Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<float, 9, LV_float32Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<double, 10, LV_float64Array**>;
template class KOA_DEV_TEMPLATE_DEF TArray<bool, 1, LV_boolArray**>;
