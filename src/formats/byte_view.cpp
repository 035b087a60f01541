#include "formats/byte_view.h"

namespace koa::formats {

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

} // namespace koa::formats
