#pragma once

#include "formats/version_block.h"
#include "formats/version_resource.h"

#include <fstream>
#include <iterator>
#include <vector>

// The files built for the version tests, and the values koa_dev_add_version_info gave them.
namespace version_test {

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline koa::formats::ByteView Span(const Bytes& bytes) {
    return {bytes.data(), bytes.size()};
}

// The version block found in a file's bytes, copied out; empty when there is none.
inline Bytes VersionBlockOf(const Bytes& file) {
    auto block = koa::formats::FindVersionResource(Span(file));
    return block ? Bytes(block->Data(), block->Data() + block->Size()) : Bytes();
}

// Little-endian words of width bytes.
inline uint64_t ReadWord(const Bytes& b, size_t width, size_t at) {
    uint64_t v = 0;
    for (size_t i = 0; i < width && at + i < b.size(); ++i)
        v |= uint64_t{b[at + i]} << (8 * i);
    return v;
}
inline void WriteWord(Bytes& b, size_t width, size_t at, uint64_t v) {
    for (size_t i = 0; i < width; ++i)
        b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

inline std::optional<std::string> Text(const Bytes& block, const char* path) {
    return koa::formats::QueryVersionText(Span(block), path);
}

} // namespace version_test
