#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace koa::config {

// A read-only window on bytes that belong to someone else. Every read is checked against the
// window's size, so offsets taken from an untrusted file can be used as they come.
class ByteView {
  public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }

    // Little-endian reads; empty when the value does not lie wholly inside the window.
    std::optional<uint8_t> U8(uint64_t offset) const;
    std::optional<uint16_t> U16(uint64_t offset) const;
    std::optional<uint32_t> U32(uint64_t offset) const;

    // The window [offset, offset + length); empty unless it lies wholly inside this one.
    std::optional<ByteView> Sub(uint64_t offset, uint64_t length) const;
    // The window from offset to the end; empty when offset lies past the end.
    std::optional<ByteView> From(uint64_t offset) const;

  private:
    bool Contains(uint64_t offset, uint64_t length) const;

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace koa::config
