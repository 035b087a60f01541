#pragma once

#include "formats/byte_view.h"

#include <cstdint>
#include <optional>

namespace koa::formats {

// Bytes of a file read in one piece, addressed by their offsets in the file. Every read is
// checked against the piece, so a reader reads a piece as it would read the whole file: what
// lies outside the piece is not there.
class FilePiece {
  public:
    FilePiece() = default;
    FilePiece(uint64_t offset, ByteView bytes) : offset_(offset), bytes_(bytes) {}

    const ByteView& Bytes() const { return bytes_; }

    std::optional<uint8_t> U8(uint64_t at) const {
        return Inside(at, 1) ? bytes_.U8(at - offset_) : std::nullopt;
    }
    std::optional<uint16_t> U16(uint64_t at) const {
        return Inside(at, 2) ? bytes_.U16(at - offset_) : std::nullopt;
    }
    std::optional<uint32_t> U32(uint64_t at) const {
        return Inside(at, 4) ? bytes_.U32(at - offset_) : std::nullopt;
    }
    std::optional<uint64_t> U64(uint64_t at) const {
        return Inside(at, 8) ? bytes_.U64(at - offset_) : std::nullopt;
    }
    // The bytes [at, at + length) of the file; empty unless they lie wholly inside the piece.
    std::optional<ByteView> Sub(uint64_t at, uint64_t length) const {
        return Inside(at, length) ? bytes_.Sub(at - offset_, length) : std::nullopt;
    }

  private:
    bool Inside(uint64_t at, uint64_t length) const {
        return at >= offset_ && bytes_.Contains(at - offset_, length);
    }

    uint64_t offset_ = 0;
    ByteView bytes_;
};

// A file whose bytes are read on demand, piece by piece, so that a reader touches only the parts
// of a large file it needs.
class ByteSource {
  public:
    // The longest piece: a piece asked for beyond it ends there, as if the file ended.
    static constexpr uint64_t kMaxPiece = uint64_t{64} << 20;

    virtual ~ByteSource() = default;

    virtual uint64_t Size() const = 0;

    // At most length bytes from offset, cut at the end of the file and at kMaxPiece; shorter
    // when the file cannot be read so far. The bytes stay valid as long as the source.
    virtual FilePiece Piece(uint64_t offset, uint64_t length) = 0;

  protected:
    // The length of a piece asked for at offset, after the cuts.
    uint64_t PieceLength(uint64_t offset, uint64_t length) const;
};

// A file already in memory: its pieces are windows on its bytes.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(ByteView bytes) : bytes_(bytes) {}

    uint64_t Size() const override { return bytes_.Size(); }
    FilePiece Piece(uint64_t offset, uint64_t length) override;

  private:
    ByteView bytes_;
};

} // namespace koa::formats
