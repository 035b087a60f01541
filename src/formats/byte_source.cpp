#include "formats/byte_source.h"

#include <algorithm>

namespace koa::formats {

uint64_t ByteSource::PieceLength(uint64_t offset, uint64_t length) const {
    const uint64_t size = Size();
    return offset > size ? 0 : std::min({length, size - offset, kMaxPiece});
}

FilePiece MemorySource::Piece(uint64_t offset, uint64_t length) {
    const auto bytes = bytes_.Sub(offset, PieceLength(offset, length));
    return bytes ? FilePiece(offset, *bytes) : FilePiece();
}

} // namespace koa::formats
