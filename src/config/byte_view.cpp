#include "config/byte_view.h"

namespace koa::config {

bool ByteView::Contains(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
}

std::optional<uint8_t> ByteView::U8(uint64_t offset) const {
    if (!Contains(offset, 1))
        return std::nullopt;
    return data_[offset];
}

std::optional<uint16_t> ByteView::U16(uint64_t offset) const {
    if (!Contains(offset, 2))
        return std::nullopt;
    const uint8_t* p = data_ + offset;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

std::optional<uint32_t> ByteView::U32(uint64_t offset) const {
    if (!Contains(offset, 4))
        return std::nullopt;
    const uint8_t* p = data_ + offset;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::optional<ByteView> ByteView::Sub(uint64_t offset, uint64_t length) const {
    if (!Contains(offset, length))
        return std::nullopt;
    return ByteView(data_ + offset, static_cast<size_t>(length));
}

std::optional<ByteView> ByteView::From(uint64_t offset) const {
    if (offset > size_)
        return std::nullopt;
    return ByteView(data_ + offset, size_ - static_cast<size_t>(offset));
}

} // namespace koa::config
