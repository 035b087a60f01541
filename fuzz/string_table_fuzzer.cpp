// Reads the string table of arbitrary bytes taken for a resource-only library image.
#include "formats/string_resource_image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kIds[] = {0, 1, 2, 3, 4, 5, 15, 16, 17, 100, 101, 255, 4096, 65535, 65536 + 1};

// A shorter buffer gets a prefix of what a longer one gets, NUL-terminated, never overrun.
void CheckLoad(const koa::formats::StringResourceImage& image, uint32_t id) {
    char whole[4096];
    const int n = image.LoadString(id, whole, sizeof whole);
    if (n < 0 || n >= static_cast<int>(sizeof whole) || whole[n] != '\0')
        std::abort();
    for (int size : {1, 2, 3, 4, 5}) {
        char part[8];
        const int m = image.LoadString(id, part, size);
        if (m < 0 || m >= size || part[m] != '\0' || m > n || std::memcmp(part, whole, m) != 0)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto image =
        koa::formats::StringResourceImage::FromBytes(std::vector<uint8_t>(data, data + size));
    if (!image)
        return 0;
    for (uint32_t id : kIds)
        CheckLoad(*image, id);
    return 0;
}
