// The byte streams of the codec: a reader over a borrowed, read-only buffer and a writer that
// appends to a borrowed byte vector.
#ifndef QUORLAX_BINDING_CODEC_BYTE_BUFFER_STREAMS_H_
#define QUORLAX_BINDING_CODEC_BYTE_BUFFER_STREAMS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "binding/codec/byte_streams.h"

namespace flutter {

// Reads `size` bytes at `buffer` from front to back. The buffer is borrowed and must outlive the
// reader; the reader never changes it.
//
// A read past the end writes "Invalid read in StandardCodecByteStreamReader" as a line to standard
// error and has no other effect: ReadByte returns 0, ReadBytes copies nothing, and the position
// stays, so every later read past the end writes the line again. An alignment of 0 is ignored.
class ByteBufferStreamReader : public ByteStreamReader {
 public:
  ByteBufferStreamReader(const uint8_t* buffer, std::size_t size) noexcept
      : buffer_(buffer), size_(size) {}

  uint8_t ReadByte() override;
  void ReadBytes(uint8_t* destination, std::size_t count) override;
  void SkipToAlignment(uint8_t alignment) override;
  std::size_t RemainingBytes() const override { return position_ < size_ ? size_ - position_ : 0; }

 private:
  const uint8_t* buffer_;
  std::size_t size_;
  // Offset of the next byte. Reads never move it past size_; SkipToAlignment may.
  std::size_t position_ = 0;
};

// Appends to `*vector`, which is borrowed and must outlive the writer. Bytes already in the vector
// stay in front and count for alignment. Running out of memory is the vector's failure
// (std::bad_alloc, std::length_error). Padding goes through WriteByte, so a derived writer that
// overrides WriteByte sees the padding too. An alignment of 0 is ignored.
class ByteBufferStreamWriter : public ByteStreamWriter {
 public:
  explicit ByteBufferStreamWriter(std::vector<uint8_t>* vector) noexcept : vector_(vector) {}

  void WriteByte(uint8_t byte) override;
  void WriteBytes(const uint8_t* source, std::size_t count) override;
  void PadToAlignment(uint8_t alignment) override;

 private:
  std::vector<uint8_t>* vector_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CODEC_BYTE_BUFFER_STREAMS_H_
