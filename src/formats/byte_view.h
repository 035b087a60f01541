#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace koa::formats {

// A read-only window on bytes that belong to someone else. Every read is checked against the
// window's size, so offsets taken from an untrusted file can be used as they come.
class ByteView {
  public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }

    // True when the length bytes from offset all lie inside the window.
    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    // Little-endian reads; empty when the value does not lie wholly inside the window.
    std::optional<uint8_t> U8(uint64_t offset) const { return Little<uint8_t>(offset); }
    std::optional<uint16_t> U16(uint64_t offset) const { return Little<uint16_t>(offset); }
    std::optional<uint32_t> U32(uint64_t offset) const { return Little<uint32_t>(offset); }
    std::optional<uint64_t> U64(uint64_t offset) const { return Little<uint64_t>(offset); }

    // The window [offset, offset + length); empty unless it lies wholly inside this one.
    std::optional<ByteView> Sub(uint64_t offset, uint64_t length) const;
    // The window from offset to the end; empty when offset lies past the end.
    std::optional<ByteView> From(uint64_t offset) const;

  private:
    template <typename T> std::optional<T> Little(uint64_t offset) const {
        if (!Contains(offset, sizeof(T)))
            return std::nullopt;
        T value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<T>(value | static_cast<T>(data_[offset + i]) << (8 * i));
        return value;
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// offset rounded up to the next multiple of 4, where the resource formats align their entries.
inline uint64_t AlignToDword(uint64_t offset) {
    return (offset + 3) & ~uint64_t{3};
}

} // namespace koa::formats
