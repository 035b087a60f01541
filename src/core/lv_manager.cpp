#include "core/lv_manager.h"

#include "platform/host.h"

namespace {

// Byte offsets of the two functions in the 32-bit runtime's table; 64-bit runtimes keep the
// entry numbers, with pointer-sized entries.
constexpr size_t kNumericArrayResizeEntry = 0xDDC / 4;
constexpr size_t kDSDisposeHandleEntry = 0x4D0 / 4;

using ResizeFn = int32_t (*)(int32_t, int32_t, void*, size_t);
using DisposeFn = int32_t (*)(void*);

void* const* g_table = nullptr;

void* const* RuntimeTable() {
    if (g_table == nullptr) {
        void* module = koa::platform::HostModule();
        void* table = module ? koa::platform::FindExport(module, "LVRTTable") : nullptr;
        if (table == nullptr)
            koa::platform::FatalStop("Fatal Error",
                                     "LABVIEW.LIB was not called from a LabVIEW process.");
        g_table = static_cast<void* const*>(table);
    }
    return g_table;
}

template <typename Fn> Fn Entry(size_t index) {
    return reinterpret_cast<Fn>(RuntimeTable()[index]);
}

} // namespace

int32_t NumericArrayResize(int32_t typeCode, int32_t numDims, void* handlePtr, size_t count) {
    return Entry<ResizeFn>(kNumericArrayResizeEntry)(typeCode, numDims, handlePtr, count);
}

int32_t DSDisposeHandle(void* handle) {
    return Entry<DisposeFn>(kDSDisposeHandleEntry)(handle);
}
