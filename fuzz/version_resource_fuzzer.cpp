// Finds and queries the version resource of arbitrary bytes taken for a PE image, a compiled
// resource file or an ELF library.
#include "formats/version_block.h"
#include "formats/version_resource.h"
#include "platform/version_resources.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kPaths[] = {
    "\\",
    "\\VarFileInfo\\Translation",
    "\\StringFileInfo\\040904B0\\FileVersion",
    "\\stringfileinfo\\040904b0\\comments",
    "\\StringFileInfo\\040904B0\\Empty",
    "\\StringFileInfo\\040704B0\\FileVersion",
    "\\StringFileInfo\\040904B0\\",
    "\\StringFileInfo\\\\FileVersion",
};

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const koa::formats::ByteView file(data, size);
    const auto block = koa::formats::FindVersionResource(file);
    if (!block)
        return 0;
    Require(block->Data() >= data && block->Data() + block->Size() <= data + size);

    const auto fixed = koa::formats::QueryFixedFileInfo(*block);
    koa::platform::FixedFileInfo info;
    const auto blockSize = static_cast<uint32_t>(block->Size());
    Require(koa::platform::QueryFixedFileInfo(block->Data(), blockSize, info) == fixed.has_value());

    for (const char* path : kPaths) {
        const auto value = koa::formats::QueryVersionValue(*block, path);
        if (value)
            Require(value->bytes.Data() >= block->Data() &&
                    value->bytes.Data() + value->bytes.Size() <= block->Data() + block->Size());
        const auto text = koa::formats::QueryVersionText(*block, path);
        std::string viaPlatform;
        Require(koa::platform::QueryVersionString(block->Data(), blockSize, path, viaPlatform) ==
                text.has_value());
        Require(!text || viaPlatform == *text);
    }
    return 0;
}
