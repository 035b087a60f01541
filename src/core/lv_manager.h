#pragma once

#include <cstddef>
#include <cstdint>

// LabVIEW's memory manager, reached through the host executable's LVRTTable. Both calls forward
// unchanged and return the manager's error code (0 on success).
int32_t NumericArrayResize(int32_t typeCode, int32_t numDims, void* handlePtr, size_t count);
int32_t DSDisposeHandle(void* handle);

namespace koa {

// Type codes of LabVIEW's numeric types, as NumericArrayResize takes them.
enum LvTypeCode : int32_t {
    kLvInt8 = 1,
    kLvInt16 = 2,
    kLvInt32 = 3,
    kLvInt64 = 4,
    kLvUInt8 = 5,
    kLvUInt16 = 6,
    kLvUInt32 = 7,
    kLvUInt64 = 8,
    kLvFloat32 = 9,
    kLvFloat64 = 10,
};

// The manager's errors that the library records itself: a conversion given no handle address,
// and memory the library could not get.
constexpr int32_t kLvArgumentError = 1; // mgArgErr
constexpr int32_t kLvMemoryFull = 2;    // mFullErr

// Arrays whose elements are handles are resized as arrays of pointer-width unsigned integers.
constexpr int32_t kLvHandleTypeCode = sizeof(void*) == 8 ? kLvUInt64 : kLvUInt32;

} // namespace koa
