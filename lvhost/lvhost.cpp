#include <koa_dev/lvhost.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_set>

#if defined(_WIN32)
#define LVHOST_EXPORT __declspec(dllexport)
#else
#define LVHOST_EXPORT __attribute__((visibility("default")))
#endif

namespace {

constexpr size_t kTableEntries = 1024;
constexpr size_t kResizeEntry = 0xDDC / 4;
constexpr size_t kDisposeEntry = 0x4D0 / 4;
constexpr size_t kMaxBlock = size_t{1} << 30;
constexpr unsigned char kFreshByte = 0xA5;
// Arrays of handles are resized as arrays of unsigned integers of pointer width.
constexpr int32_t kHandleTypeCode = sizeof(void*) == 8 ? 8 : 7;

struct State {
    std::unordered_set<void*> live;
    int resizeCalls = 0;
    int disposeCalls = 0;
    int failAt = 0;
    int32_t failCode = 0;
};

State& Host() {
    static State* state = new State; // outlives every static destructor that frees a handle
    return *state;
}

// Counts one manager call and tells whether it is the one chosen to fail.
bool InjectedFailure(int32_t* code) {
    State& s = Host();
    if (s.failAt == 0)
        return false;
    if (--s.failAt != 0)
        return false;
    *code = s.failCode;
    return true;
}

template <typename Element> constexpr size_t AlignedOffset(size_t header) {
    struct Probe {
        int32_t dimSize;
        Element element;
    };
    constexpr size_t align = KOA_LV_PACKED ? 1 : offsetof(Probe, element);
    return (header + align - 1) / align * align;
}

int32_t Resize(int32_t typeCode, int32_t numDims, void* handlePtr, size_t count) {
    State& s = Host();
    const size_t elementSize = lvhost::ElementSize(typeCode);
    if (elementSize == 0 || numDims < 1 || numDims > 64 || handlePtr == nullptr)
        return lvhost::kArgumentError;
    void** handle = *static_cast<void***>(handlePtr);
    if (handle != nullptr && s.live.count(handle) == 0)
        return lvhost::kArgumentError;
    const size_t offset = lvhost::DataOffset(typeCode, numDims);
    if (count > (kMaxBlock - offset) / elementSize)
        return lvhost::kMemoryFull;
    const size_t bytes = offset + count * elementSize;
    if (handle == nullptr) {
        handle = static_cast<void**>(std::malloc(sizeof(void*)));
        void* block = std::malloc(bytes);
        if (handle == nullptr || block == nullptr) {
            std::free(handle);
            std::free(block);
            return lvhost::kMemoryFull;
        }
        std::memset(block, kFreshByte, bytes);
        *handle = block;
        s.live.insert(handle);
        *static_cast<void***>(handlePtr) = handle;
        return 0;
    }
    void* block = std::realloc(*handle, bytes);
    if (block == nullptr)
        return lvhost::kMemoryFull;
    *handle = block;
    return 0;
}

int32_t ResizeEntry(int32_t typeCode, int32_t numDims, void* handlePtr, size_t count) {
    ++Host().resizeCalls;
    int32_t injected;
    if (InjectedFailure(&injected))
        return injected;
    return Resize(typeCode, numDims, handlePtr, count);
}

int32_t DisposeEntry(void* handle) {
    ++Host().disposeCalls;
    int32_t injected;
    if (InjectedFailure(&injected))
        return injected;
    return lvhost::Dispose(handle);
}

} // namespace

namespace lvhost::detail {

// The runtime's function table: pointer-sized entries, of which the library uses two.
struct Table {
    void* entries[kTableEntries];
    Table() : entries() {
        entries[kResizeEntry] = reinterpret_cast<void*>(&ResizeEntry);
        entries[kDisposeEntry] = reinterpret_cast<void*>(&DisposeEntry);
    }
};

} // namespace lvhost::detail

extern "C" LVHOST_EXPORT lvhost::detail::Table LVRTTable;
lvhost::detail::Table LVRTTable;

namespace lvhost {

void Reset() {
    State& s = Host();
    s.resizeCalls = 0;
    s.disposeCalls = 0;
    s.failAt = 0;
    s.failCode = 0;
}

void FailCall(int n, int32_t code) {
    Host().failAt = n;
    Host().failCode = code;
}

int ResizeCalls() {
    return Host().resizeCalls;
}
int DisposeCalls() {
    return Host().disposeCalls;
}
size_t LiveHandles() {
    return Host().live.size();
}

size_t ElementSize(int32_t typeCode) {
    switch (typeCode) {
    case 1:
    case 5:
        return 1;
    case 2:
    case 6:
        return 2;
    case 3:
    case 7:
    case 9:
        return 4;
    case 4:
    case 8:
    case 10:
        return 8;
    default:
        return 0;
    }
}

size_t DataOffset(int32_t typeCode, int32_t numDims) {
    const size_t header = sizeof(int32_t) * static_cast<size_t>(numDims);
    switch (ElementSize(typeCode)) {
    case 2:
        return AlignedOffset<int16_t>(header);
    case 4:
        return AlignedOffset<int32_t>(header);
    case 8:
        return typeCode == 10 ? AlignedOffset<double>(header) : AlignedOffset<uint64_t>(header);
    default:
        return header;
    }
}

LStr** NewString(const char* text) {
    LStr** h = nullptr;
    const size_t n = std::strlen(text);
    if (Resize(5, 1, &h, n) != 0)
        return nullptr;
    std::memcpy((*h)->str, text, n);
    (*h)->cnt = static_cast<int32_t>(n);
    return h;
}

std::string Text(const LStr* const* h) {
    if (h == nullptr || *h == nullptr)
        return {};
    return std::string(reinterpret_cast<const char*>((*h)->str), static_cast<size_t>((*h)->cnt));
}

void* NewNumericArray(int32_t typeCode, const void* values, size_t count) {
    void** h = nullptr;
    if (Resize(typeCode, 1, &h, count) != 0)
        return nullptr;
    *static_cast<int32_t*>(*h) = static_cast<int32_t>(count);
    if (count != 0)
        std::memcpy(static_cast<char*>(*h) + DataOffset(typeCode, 1), values,
                    count * ElementSize(typeCode));
    return h;
}

LV_stringArray** NewStringArray(std::initializer_list<const char*> texts) {
    std::vector<LStr**> strings;
    for (const char* text : texts)
        strings.push_back(NewString(text));
    return static_cast<LV_stringArray**>(
        NewNumericArray(kHandleTypeCode, strings.data(), strings.size()));
}

std::vector<std::string> Texts(const LV_stringArray* const* h) {
    std::vector<std::string> texts;
    if (h != nullptr && *h != nullptr)
        for (int32_t i = 0; i < (*h)->dimSize; ++i)
            texts.push_back(Text((*h)->elt[i]));
    return texts;
}

void DisposeStringArray(LV_stringArray** h) {
    if (h == nullptr)
        return;
    for (int32_t i = 0; i < (*h)->dimSize; ++i)
        Dispose((*h)->elt[i]);
    Dispose(h);
}

int32_t Dispose(void* handle) {
    State& s = Host();
    if (handle == nullptr || s.live.erase(handle) == 0)
        return kArgumentError;
    void** h = static_cast<void**>(handle);
    std::free(*h);
    std::free(h);
    return 0;
}

} // namespace lvhost
