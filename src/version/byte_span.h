#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace koa::version {

// A read-only view of bytes whose every read is checked against its end: reading a file's
// structures through it cannot go outside the file, whatever the file's offsets and lengths say.
class ByteSpan {
  public:
    ByteSpan() = default;
    ByteSpan(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    const uint8_t* data() const { return data_; }
    uint64_t size() const { return size_; }

    // True when the length bytes from offset all lie inside the span.
    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    // Little-endian reads; false, and value left alone, when the bytes are not all inside.
    bool Read(uint64_t offset, uint16_t& value) const { return ReadLittle(offset, value); }
    bool Read(uint64_t offset, uint32_t& value) const { return ReadLittle(offset, value); }
    bool Read(uint64_t offset, uint64_t& value) const { return ReadLittle(offset, value); }

    // The length bytes from offset, or nothing when they are not all inside.
    std::optional<ByteSpan> Slice(uint64_t offset, uint64_t length) const {
        if (!Contains(offset, length))
            return std::nullopt;
        return ByteSpan(data_ + offset, static_cast<size_t>(length));
    }

  private:
    template <typename T> bool ReadLittle(uint64_t offset, T& value) const {
        if (!Contains(offset, sizeof(T)))
            return false;
        T result = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            result = static_cast<T>(result | static_cast<T>(data_[offset + i]) << (8 * i));
        value = result;
        return true;
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// offset rounded up to the next multiple of 4.
inline uint64_t AlignToDword(uint64_t offset) {
    return (offset + 3) & ~uint64_t{3};
}

} // namespace koa::version
