#include <koa_dev/address_cache.h>
#include <koa_dev/error_cluster.h>

#include "core/memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

int32_t AddressCache::FailureCounter = 0;

namespace {

const char kMoreFailures[] = "...\n";

} // namespace

void AddressCache::UpdateFailureList(const char* name) {
    if (name == nullptr)
        return;
    const int32_t stored = std::min<int32_t>(FailureCounter, kFailureSlots);
    for (int32_t i = 0; i < stored; ++i)
        if (std::strcmp(FailureList[i].CStr(), name) == 0)
            return;
    if (FailureCounter < kFailureSlots)
        FailureList[FailureCounter] = name;
    if (FailureCounter < INT32_MAX)
        ++FailureCounter;
}

void AddressCache::ClearFailureList() {
    const int32_t stored = std::min<int32_t>(FailureCounter, kFailureSlots);
    for (int32_t i = 0; i < stored; ++i)
        FailureList[i] = TString();
    FailureCounter = 0;
}

TString AddressCache::RetrieveFailureList(ErrorCluster* err) {
    if (err->Status())
        return TString();
    const int32_t stored = std::min<int32_t>(FailureCounter, kFailureSlots);
    size_t total = 0;
    for (int32_t i = 0; i < stored; ++i)
        total += FailureList[i].Length();
    if (total == 0)
        return TString();

    const size_t size = total + 2 * static_cast<size_t>(stored) + 20;
    std::unique_ptr<char[]> buffer(koa::memory::NewArray<char>(size));
    if (buffer == nullptr)
        return TString();
    char* end = buffer.get();
    for (int32_t i = 0; i < stored; ++i) {
        std::memcpy(end, FailureList[i].CStr(), FailureList[i].Length());
        end += FailureList[i].Length();
        *end++ = '\n';
    }
    if (FailureCounter > kFailureSlots) {
        std::memcpy(end, kMoreFailures, sizeof kMoreFailures - 1);
        end += sizeof kMoreFailures - 1;
    }
    *end = '\0';
    return TString(buffer.get());
}
