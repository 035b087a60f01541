#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_arrays.h>

#include <cstdint>
#include <type_traits>

class ErrorCluster;

static_assert(std::is_signed<char>::value, "TArray<char> holds LabVIEW's signed 8-bit integers");

// A one-dimensional numeric or Boolean array exchanged with LabVIEW: an exact-size heap block,
// deep-copied, with range-tested element access. typeCode is the LabVIEW numeric type code used
// to resize a handle of type H. Only the instantiations declared below exist.
template <typename T, int32_t typeCode, typename H> class TArray {
  public:
    TArray();
    TArray(int n);
    TArray(const T* values, int n);
    TArray(H h);
    TArray(const TArray& other);
    // n elements (at least one): first, then the following values converted to T; elements
    // without a value are zero. The first value keeps its own type until here, so that
    // TArray<long, ...>(0, 7) is this constructor and not the one from a null pointer.
    template <
        typename First, typename... Rest,
        typename = std::enable_if_t<!std::is_pointer_v<First> && std::is_convertible_v<First, T>>>
    TArray(int n, First first, Rest... rest) : TArray() {
        const T values[] = {static_cast<T>(first), static_cast<T>(rest)...};
        Assign(values, static_cast<int>(sizeof...(Rest)) + 1, n);
    }
    virtual ~TArray();

    TArray& operator=(const TArray& other);

    int GetSize() const;
    int GetUpperBound() const;
    operator const T*() const;
    T& operator[](int i);
    T operator[](int i) const;

    TArray SubArray(int start, int n) const;
    TArray& Insert(T value, int pos);
    TArray& Insert(const TArray& other, int pos);
    TArray& Initialize(T value, int n);

    bool operator==(const TArray& other) const;
    bool operator!=(const TArray& other) const;
    bool operator<(const TArray& other) const;
    bool operator<=(const TArray& other) const;
    bool operator>(const TArray& other) const;
    bool operator>=(const TArray& other) const;

    void SetLV_Array(ErrorCluster* err, H* h) const;

  protected:
    int CompareTest(const TArray& other) const;

  private:
    void Assign(const T* values, int given, int n);
    void Adopt(T* block, int n);
    void Splice(const T* values, int n, int pos);

    T* data;
    int count;

    static T dummy;
};

extern template class KOA_DEV_TEMPLATE_DECL TArray<char, 1, LV_int8Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<unsigned char, 5, LV_uInt8Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<short, 2, LV_int16Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<unsigned short, 6, LV_uInt16Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<LV_int32, 3, LV_int32Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<LV_uInt32, 7, LV_uInt32Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<float, 9, LV_float32Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<double, 10, LV_float64Array**>;
extern template class KOA_DEV_TEMPLATE_DECL TArray<bool, 1, LV_boolArray**>;
