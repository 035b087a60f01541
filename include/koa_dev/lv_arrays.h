#pragma once

#include <koa_dev/lv_types.h>

#include <cstddef>
#include <cstdint>

// LabVIEW's one-dimensional array records: the element count, then the elements. Arrays of
// strings and lists of arrays hold one handle per element.
KOA_LV_PACK_BEGIN

struct LV_int8Array {
    int32_t dimSize;
    int8_t elt[1];
};
struct LV_uInt8Array {
    int32_t dimSize;
    uint8_t elt[1];
};
struct LV_int16Array {
    int32_t dimSize;
    int16_t elt[1];
};
struct LV_uInt16Array {
    int32_t dimSize;
    uint16_t elt[1];
};
struct LV_int32Array {
    int32_t dimSize;
    int32_t elt[1];
};
struct LV_uInt32Array {
    int32_t dimSize;
    uint32_t elt[1];
};
struct LV_float32Array {
    int32_t dimSize;
    float elt[1];
};
struct LV_float64Array {
    int32_t dimSize;
    double elt[1];
};
struct LV_boolArray {
    int32_t dimSize;
    uint8_t elt[1];
};

struct LV_stringArray {
    int32_t dimSize;
    LStr** elt[1];
};

struct LV_int8ArrayArray {
    int32_t dimSize;
    LV_int8Array** elt[1];
};
struct LV_uInt8ArrayArray {
    int32_t dimSize;
    LV_uInt8Array** elt[1];
};
struct LV_int16ArrayArray {
    int32_t dimSize;
    LV_int16Array** elt[1];
};
struct LV_uInt16ArrayArray {
    int32_t dimSize;
    LV_uInt16Array** elt[1];
};
struct LV_int32ArrayArray {
    int32_t dimSize;
    LV_int32Array** elt[1];
};
struct LV_uInt32ArrayArray {
    int32_t dimSize;
    LV_uInt32Array** elt[1];
};
struct LV_float32ArrayArray {
    int32_t dimSize;
    LV_float32Array** elt[1];
};
struct LV_float64ArrayArray {
    int32_t dimSize;
    LV_float64Array** elt[1];
};
struct LV_boolArrayArray {
    int32_t dimSize;
    LV_boolArray** elt[1];
};
struct LV_stringArrayArray {
    int32_t dimSize;
    LV_stringArray** elt[1];
};

KOA_LV_PACK_END

// Elements start right after dimSize, except that with natural alignment 8-byte elements
// (doubles, handles on 64-bit targets) start at the next 8-byte boundary.
#if KOA_LV_PACKED
#define KOA_LV_WIDE_OFFSET 4
#else
#define KOA_LV_WIDE_OFFSET sizeof(void*)
#endif
#define KOA_LV_ASSERT_ELT(Record, offset)                                                          \
    static_assert(offsetof(Record, dimSize) == 0 && offsetof(Record, elt) == (offset),             \
                  #Record " layout")
KOA_LV_ASSERT_ELT(LV_int8Array, 4);
KOA_LV_ASSERT_ELT(LV_uInt8Array, 4);
KOA_LV_ASSERT_ELT(LV_int16Array, 4);
KOA_LV_ASSERT_ELT(LV_uInt16Array, 4);
KOA_LV_ASSERT_ELT(LV_int32Array, 4);
KOA_LV_ASSERT_ELT(LV_uInt32Array, 4);
KOA_LV_ASSERT_ELT(LV_float32Array, 4);
KOA_LV_ASSERT_ELT(LV_float64Array, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_boolArray, 4);
KOA_LV_ASSERT_ELT(LV_stringArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_int8ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_uInt8ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_int16ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_uInt16ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_int32ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_uInt32ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_float32ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_float64ArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_boolArrayArray, KOA_LV_WIDE_OFFSET);
KOA_LV_ASSERT_ELT(LV_stringArrayArray, KOA_LV_WIDE_OFFSET);
#undef KOA_LV_ASSERT_ELT
#undef KOA_LV_WIDE_OFFSET
#if KOA_LV_PACKED
static_assert(sizeof(LV_float64Array) == 12 && sizeof(LV_stringArray) == 8,
              "32-bit Windows array records are packed");
#endif
