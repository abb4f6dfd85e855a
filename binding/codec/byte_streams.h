// The abstract byte source and sink of the standard encoding. The serializer reads and writes
// only through these, so a stream can be backed by anything; ByteBufferStreamReader and
// ByteBufferStreamWriter (byte_buffer_streams.h) are the implementations the codec uses.
//
// Alignment is counted from the first byte of the whole message: the reader's position from its
// buffer start, the writer's byte count from its vector's first byte. Alignments are 1 to 255;
// the encoding uses 4 and 8.
//
// Thread safety: a stream is used by one thread, for one codec operation at a time.
#ifndef QUORLAX_BINDING_CODEC_BYTE_STREAMS_H_
#define QUORLAX_BINDING_CODEC_BYTE_STREAMS_H_

#include <cstddef>
#include <cstdint>

namespace flutter {

class ByteStreamReader {
 public:
  virtual ~ByteStreamReader() = default;

  // The next byte. At the end of the data: 0, after one diagnostic line; nothing moves.
  virtual uint8_t ReadByte() = 0;
  // Copies the next `count` bytes to `destination`. When fewer than `count` bytes are left:
  // copies nothing, leaves `destination` as it was and the position where it was, and writes one
  // diagnostic line. A count of 0 copies nothing.
  virtual void ReadBytes(uint8_t* destination, std::size_t count) = 0;
  // Moves the position up to the next multiple of `alignment`, unread. May move past the end of
  // the data; the next read then fails as above.
  virtual void SkipToAlignment(uint8_t alignment) = 0;
  // How many bytes are left to read; 0 once the position is at or past the end. The serializer
  // checks declared sizes against it, so that a few bytes that declare gigabytes cost no more
  // than they hold. A reader that cannot tell answers SIZE_MAX, and gets no such check.
  virtual std::size_t RemainingBytes() const { return SIZE_MAX; }

 protected:
  ByteStreamReader() = default;
  ByteStreamReader(const ByteStreamReader&) = default;
  ByteStreamReader& operator=(const ByteStreamReader&) = default;
};

class ByteStreamWriter {
 public:
  virtual ~ByteStreamWriter() = default;

  virtual void WriteByte(uint8_t byte) = 0;
  // Appends `count` bytes from `source`; a count of 0 appends nothing.
  virtual void WriteBytes(const uint8_t* source, std::size_t count) = 0;
  // Appends zero bytes, each through WriteByte, up to the next multiple of `alignment`.
  virtual void PadToAlignment(uint8_t alignment) = 0;

 protected:
  ByteStreamWriter() = default;
  ByteStreamWriter(const ByteStreamWriter&) = default;
  ByteStreamWriter& operator=(const ByteStreamWriter&) = default;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CODEC_BYTE_STREAMS_H_
