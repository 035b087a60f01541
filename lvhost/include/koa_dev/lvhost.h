#pragma once

// A stand-in for LabVIEW's memory manager, for test programs that run without LabVIEW.
// Linked into an executable, it exports LVRTTable from that executable, as LabVIEW does, and
// implements NumericArrayResize and DSDisposeHandle with LabVIEW's handle semantics. Tests can
// count calls, make a chosen call fail, and check that no handle leaked.

#include <koa_dev/lv_arrays.h>
#include <koa_dev/lv_types.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

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

// The text of a string handle as LabVIEW would read it; empty for a null handle.
std::string Text(const LStr* const* h);

// Creates a one-dimensional numeric array handle of typeCode holding count elements copied from
// values (count * ElementSize(typeCode) bytes). Null for an unknown type code.
void* NewNumericArray(int32_t typeCode, const void* values, size_t count);

// Creates a string-array handle holding one string handle per text.
LV_stringArray** NewStringArray(std::initializer_list<const char*> texts);

// The texts of a string-array handle; empty for a null handle.
std::vector<std::string> Texts(const LV_stringArray* const* h);

// Frees a string-array handle and the string handles it holds.
void DisposeStringArray(LV_stringArray** h);

// The element type of a LabVIEW array record such as LV_float64Array.
template <typename Record>
using ElementOf =
    std::remove_cv_t<std::remove_reference_t<decltype(std::declval<Record&>().elt[0])>>;

// Creates an array handle of the record type, e.g. NewArray<LV_float64Array>(10, {1.5, 2.5}).
template <typename Record>
Record** NewArray(int32_t typeCode, std::initializer_list<ElementOf<Record>> values) {
    static_assert(sizeof(ElementOf<Record>) <= 8, "numeric records only");
    return static_cast<Record**>(NewNumericArray(typeCode, values.begin(), values.size()));
}

// The elements of an array handle; empty for a null handle.
template <typename Record> std::vector<ElementOf<Record>> Elements(const Record* const* h) {
    if (h == nullptr || *h == nullptr)
        return {};
    return std::vector<ElementOf<Record>>((*h)->elt, (*h)->elt + (*h)->dimSize);
}

} // namespace lvhost
