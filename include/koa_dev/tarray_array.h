#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_arrays.h>
#include <koa_dev/tarray.h>
#include <koa_dev/tstring_array.h>

#include <cstdint>

class ErrorCluster;

// A list of rows exchanged with LabVIEW as an array of row handles: every row keeps its own
// length. Row is a TArray instantiation or TStringArray, T its element type and H the handle of
// the LabVIEW list. Each row is its own heap object and keeps its address when rows are inserted.
template <typename Row, typename T, typename H> class TArrayArray {
  public:
    TArrayArray();
    TArrayArray(int n);
    // n rows (at least one) of the given sizes; rows without a size are empty.
    template <typename... Rest> TArrayArray(int n, int firstSize, Rest... sizes) : TArrayArray() {
        const int values[] = {firstSize, static_cast<int>(sizes)...};
        AssignSizes(values, static_cast<int>(sizeof...(Rest)) + 1, n);
    }
    // n rows (at least one) copied from the rows pointed to; rows without a pointer are empty.
    template <typename... Rest>
    TArrayArray(int n, const Row* first, Rest... others) : TArrayArray() {
        const Row* const values[] = {first, static_cast<const Row*>(others)...};
        AssignRows(values, static_cast<int>(sizeof...(Rest)) + 1, n);
    }
    TArrayArray(const Row* rows, int n);
    TArrayArray(H h);
    TArrayArray(const TArrayArray& other);
    virtual ~TArrayArray();

    TArrayArray& operator=(const TArrayArray& other);

    int GetSize() const;
    int GetUpperBound() const;
    // -1 when the total does not fit the result.
    LV_int32 GetTotalElements() const;
    TArray<LV_int32, 3, LV_int32Array**> GetSizes() const;
    Row& operator[](int i);
    Row operator[](int i) const;
    Row CreateFlattenedArray() const;

    TArrayArray SubArray(int start, int n) const;
    TArrayArray& Insert(const Row& row, int pos);
    TArrayArray& Insert(const TArrayArray& other, int pos);
    TArrayArray& Initialize(const T& value);
    TArrayArray& Initialize(const Row& row, int n);

    void SetLV_Array(ErrorCluster* err, H* h) const;

  protected:
    TArrayArray(Row** rows, int n);
    void Empty();

  private:
    void AssignSizes(const int* sizes, int given, int n);
    void AssignRows(const Row* const* values, int given, int n);
    void Adopt(Row** table, int n);
    void Splice(Row** added, int n, int pos);

    Row** rows;
    int count;
};

extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<char, 1, LV_int8Array**>, char, LV_int8ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<unsigned char, 5, LV_uInt8Array**>, unsigned char, LV_uInt8ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<short, 2, LV_int16Array**>, short, LV_int16ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<unsigned short, 6, LV_uInt16Array**>, unsigned short, LV_uInt16ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<LV_int32, 3, LV_int32Array**>, LV_int32, LV_int32ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<LV_uInt32, 7, LV_uInt32Array**>, LV_uInt32, LV_uInt32ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<float, 9, LV_float32Array**>, float, LV_float32ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<double, 10, LV_float64Array**>, double, LV_float64ArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TArray<bool, 1, LV_boolArray**>, bool, LV_boolArrayArray**>;
extern template class KOA_DEV_TEMPLATE_DECL
    TArrayArray<TStringArray, TString, LV_stringArrayArray**>;
