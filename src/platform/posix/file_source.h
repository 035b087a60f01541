#pragma once

#include "formats/byte_source.h"
#include "platform/posix/regular_file.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>

namespace koa::platform {

// A regular file read piece by piece with bounded reads. A piece that lies inside one read
// earlier is not read again.
class FileSource : public formats::ByteSource {
  public:
    // Opens path (in host form) when it is a regular file of at most maxSize bytes.
    FileSource(const std::string& path, uint64_t maxSize);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The state of the file when it was opened.
    const FileStamp& Stamp() const { return stamp_; }
    uint64_t Size() const override { return stamp_.size; }
    formats::FilePiece Piece(uint64_t offset, uint64_t length) override;

  private:
    struct Read {
        uint64_t offset;
        uint64_t length;
        std::unique_ptr<uint8_t[]> bytes;
    };

    int fd_ = -1;
    FileStamp stamp_;
    std::list<Read> reads_;
};

} // namespace koa::platform
