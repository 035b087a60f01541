#include "platform/posix/version_block_cache.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>

namespace koa::platform {

namespace {

// A controller's local and released copies and a device library's, with room to spare.
constexpr size_t kCapacity = 8;

struct Cache {
    std::mutex mutex;
    std::deque<std::pair<FileStamp, std::vector<uint8_t>>> entries;

    auto Entry(const FileStamp& stamp) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const auto& entry) { return entry.first == stamp; });
    }
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

} // namespace

std::optional<std::vector<uint8_t>> FindVersionBlock(const FileStamp& stamp) {
    Cache& cache = TheCache();
    const std::lock_guard<std::mutex> hold(cache.mutex);
    const auto entry = cache.Entry(stamp);
    if (entry == cache.entries.end())
        return std::nullopt;
    return entry->second;
}

void KeepVersionBlock(const FileStamp& stamp, const std::vector<uint8_t>& block) {
    if (!IsSettled(stamp))
        return;
    Cache& cache = TheCache();
    const std::lock_guard<std::mutex> hold(cache.mutex);
    if (cache.Entry(stamp) != cache.entries.end())
        return;
    if (cache.entries.size() == kCapacity)
        cache.entries.pop_front();
    cache.entries.emplace_back(stamp, block);
}

} // namespace koa::platform
