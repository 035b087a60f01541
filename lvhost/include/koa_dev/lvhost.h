#pragma once

// A stand-in for LabVIEW's memory manager, for test programs that run without LabVIEW.
// Linked into an executable, it exports LVRTTable from that executable, as LabVIEW does, and
// implements NumericArrayResize and DSDisposeHandle with LabVIEW's handle semantics. Tests can
// count calls, make a chosen call fail, and check that no handle leaked.

#include <koa_dev/lv_types.h>

#include <cstddef>
#include <cstdint>

namespace lvhost {

// LabVIEW's memory manager error codes.
constexpr int32_t kArgumentError = 1; // mgArgErr
constexpr int32_t kMemoryFull = 2;    // mFullErr

// Forgets the counters and any pending failure. Live handles are kept.
void Reset();

// Makes the nth manager call from now (1 = the next one, counting both functions) fail with
// code, without touching its handle.
void FailCall(int n, int32_t code);

int ResizeCalls();
int DisposeCalls();

// Number of handles allocated and not yet disposed.
size_t LiveHandles();

// Creates a string handle holding text, as LabVIEW would pass it in.
LStr** NewString(const char* text);

// Byte offset of an array record's first element after its dimension sizes.
size_t DataOffset(int32_t typeCode, int32_t numDims);

// Element size of a LabVIEW numeric type code, or 0 for an unknown code.
size_t ElementSize(int32_t typeCode);

// Frees a handle and, for arrays of handles, nothing else: callers dispose inner handles first.
int32_t Dispose(void* handle);

} // namespace lvhost
