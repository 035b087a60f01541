#include "platform/posix/file_source.h"
#include "platform/posix/regular_file.h"

#include <unistd.h>

#include <new>

namespace koa::platform {

FileSource::FileSource(const std::string& path, uint64_t maxSize) {
    fd_ = OpenRegularFile(path, maxSize, &size_);
}

FileSource::~FileSource() {
    if (fd_ >= 0)
        close(fd_);
}

config::FilePiece FileSource::Piece(uint64_t offset, uint64_t length) {
    if (offset > size_)
        return config::FilePiece();
    length = PieceLength(offset, length);
    for (const Read& read : reads_) {
        if (offset >= read.offset && offset - read.offset <= read.bytes.size() &&
            length <= read.bytes.size() - (offset - read.offset))
            return config::FilePiece(
                offset, config::ByteView(read.bytes.data() + (offset - read.offset), length));
    }
    if (fd_ < 0 || length == 0)
        return config::FilePiece(offset, config::ByteView());
    try {
        Read& read = reads_.emplace_back(Read{offset, std::vector<uint8_t>(length)});
        read.bytes.resize(ReadAt(fd_, offset, read.bytes.data(), length));
        return config::FilePiece(offset, config::ByteView(read.bytes.data(), read.bytes.size()));
    } catch (const std::bad_alloc&) {
        return config::FilePiece();
    }
}

} // namespace koa::platform
