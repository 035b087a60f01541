#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace koa::rsc {

// Little-endian values written at given offsets of a growing buffer.
class ByteWriter {
  public:
    void Put16(size_t offset, uint16_t value) { Put(offset, value, 2); }
    void Put32(size_t offset, uint32_t value) { Put(offset, value, 4); }
    void Put64(size_t offset, uint64_t value) { Put(offset, value, 8); }
    void PutText(size_t offset, std::string_view text);
    void Resize(size_t size) { bytes_.resize(size); }

    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    void Put(size_t offset, uint64_t value, size_t width);

    std::vector<uint8_t> bytes_;
};

constexpr uint32_t AlignUp(uint32_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

} // namespace koa::rsc
