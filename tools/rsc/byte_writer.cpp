#include "rsc/byte_writer.h"

namespace koa::rsc {

void ByteWriter::Put(size_t offset, uint64_t value, size_t width) {
    if (bytes_.size() < offset + width)
        bytes_.resize(offset + width);
    for (size_t i = 0; i < width; ++i)
        bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void ByteWriter::PutText(size_t offset, std::string_view text) {
    if (bytes_.size() < offset + text.size())
        bytes_.resize(offset + text.size());
    for (size_t i = 0; i < text.size(); ++i)
        bytes_[offset + i] = static_cast<uint8_t>(text[i]);
}

} // namespace koa::rsc
