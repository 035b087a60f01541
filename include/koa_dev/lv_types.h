#pragma once

#include <cstddef>
#include <cstdint>

// LabVIEW's records are 1-byte packed in the 32-bit Windows runtime; every other LabVIEW target
// lays them out with natural alignment. KOA_LV_PACKED tells which rule the current target uses.
// KOA_LV_FORCE_PACKED applies the 32-bit Windows rule to another 32-bit target, so that a test
// build there runs against the product's layout.
#if (defined(_WIN32) && !defined(_WIN64)) || defined(KOA_LV_FORCE_PACKED)
#define KOA_LV_PACKED 1
#define KOA_LV_PACK_BEGIN _Pragma("pack(push, 1)")
#define KOA_LV_PACK_END _Pragma("pack(pop)")
#else
#define KOA_LV_PACKED 0
#define KOA_LV_PACK_BEGIN
#define KOA_LV_PACK_END
#endif

// LabVIEW's 32-bit integers with the names the library's interface uses. On Windows these are
// long and unsigned long, 32 bits wide there, and the library's exports are built with them;
// where long is wider they are int32_t and uint32_t. Drivers that write LV_int32 and LV_uInt32
// build unchanged for every target.
#if defined(_WIN32)
using LV_int32 = long;
using LV_uInt32 = unsigned long;
#else
using LV_int32 = int32_t;
using LV_uInt32 = uint32_t;
#endif
static_assert(sizeof(LV_int32) == 4 && sizeof(LV_uInt32) == 4, "LabVIEW's int32 and uInt32");

KOA_LV_PACK_BEGIN

// A LabVIEW string: a byte count followed by the bytes, without a terminator.
struct LStr {
    int32_t cnt;
    unsigned char str[1];
};
using LStrHandle = LStr**;

// LabVIEW's error cluster as it arrives in, and is written to, a LabVIEW error wire.
struct LV_ErrorCluster {
    uint8_t status;
    int32_t code;
    LStr** source;
};

KOA_LV_PACK_END

static_assert(offsetof(LStr, str) == 4, "LStr data follows the count");
#if KOA_LV_PACKED
static_assert(offsetof(LV_ErrorCluster, code) == 1 && offsetof(LV_ErrorCluster, source) == 5 &&
                  sizeof(LV_ErrorCluster) == 9,
              "32-bit Windows error cluster is packed to 9 bytes");
#else
static_assert(offsetof(LV_ErrorCluster, code) == 4 && offsetof(LV_ErrorCluster, source) == 8,
              "error cluster fields are naturally aligned");
static_assert(sizeof(LV_ErrorCluster) == 8 + sizeof(void*), "error cluster size");
#endif
