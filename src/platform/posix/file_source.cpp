#include "platform/posix/file_source.h"

#include <unistd.h>

namespace koa::platform {

FileSource::FileSource(const std::string& path, uint64_t maxSize) {
    fd_ = OpenRegularFile(path, maxSize, &stamp_);
}

FileSource::~FileSource() {
    if (fd_ >= 0)
        close(fd_);
}

formats::FilePiece FileSource::Piece(uint64_t offset, uint64_t length) {
    if (offset > stamp_.size)
        return formats::FilePiece();
    length = PieceLength(offset, length);
    for (const Read& read : reads_) {
        if (offset >= read.offset && offset - read.offset <= read.length &&
            length <= read.length - (offset - read.offset))
            return formats::FilePiece(
                offset, formats::ByteView(read.bytes.get() + (offset - read.offset), length));
    }
    if (fd_ < 0 || length == 0)
        return formats::FilePiece(offset, formats::ByteView());
    // Not zeroed first: the bytes are read over at once, and only those read are used.
    Read& read =
        reads_.emplace_back(Read{offset, 0, std::unique_ptr<uint8_t[]>(new uint8_t[length])});
    read.length = ReadAt(fd_, offset, read.bytes.get(), length);
    return formats::FilePiece(offset, formats::ByteView(read.bytes.get(), read.length));
}

} // namespace koa::platform
