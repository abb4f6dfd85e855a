// StandardCodecSerializer: the standard value encoding, over the abstract byte streams.
//
// An encoded value is a type byte and that type's payload; numbers are little-endian; sizes take
// 1, 3 or 5 bytes (below 254; 254 then 2 bytes; 255 then 4 bytes); doubles and numeric lists are
// padded to their element width, counted from the start of the message. This is a wire format
// shared with the other side of every channel that uses the standard codec.
//
// Every value nested in a list or map is written and read again through the virtual WriteValue
// and ReadValueOfType, so a derived serializer can take over the values this one cannot encode
// (CustomValue) and leave the rest to it.
//
// Failures are diagnostic lines on standard error, never errors: a CustomValue is written as null,
// a type byte outside the table reads as null, and data that ends early reads as zeros and nulls
// (with the reader's own line per failed read).
//
// Reading is bounded, so that hostile bytes cost time linear in their length and memory a small
// multiple of it, whatever sizes they declare. ReadValueOfType writes a diagnostic line and
// throws std::length_error, leaving the stream part-read, for
// - lists and maps nested more than 128 deep;
// - a string or list whose declared bytes are more than 64 and more than what is left to read;
// - a list or map that would have more than 64 values missing once the data runs out.
// Short of those bounds a message that ends early reads as zeros and nulls, as above. The bounds
// on sizes need the stream's RemainingBytes(); a stream that cannot tell gets only the depth bound.
//
// Thread safety: the serializer holds no state; one instance serves any number of threads, each
// with its own stream.
#ifndef QUORLAX_BINDING_CODEC_STANDARD_CODEC_SERIALIZER_H_
#define QUORLAX_BINDING_CODEC_STANDARD_CODEC_SERIALIZER_H_

#include <cstddef>
#include <cstdint>

#include "binding/codec/byte_streams.h"
#include "binding/codec/encodable_value.h"

namespace flutter {

class StandardCodecSerializer {
 public:
  virtual ~StandardCodecSerializer() = default;

  StandardCodecSerializer(const StandardCodecSerializer&) = delete;
  StandardCodecSerializer& operator=(const StandardCodecSerializer&) = delete;

  // The process-wide serializer. It lives until the module is unloaded; codecs made without a
  // serializer of their own use it.
  static const StandardCodecSerializer& Instance();

  // Appends the encoding of `value` to `stream`. Throws std::length_error, after writing the
  // value's type byte, for a string or list longer than 4,294,967,295, which the size encoding
  // cannot carry; the bytes written so far are then not a valid message.
  virtual void WriteValue(const EncodableValue& value, ByteStreamWriter& stream) const;

  // Reads the payload that follows the type byte `type` and returns the value. Throws
  // std::length_error past the bounds above.
  virtual EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader& stream) const;

  // Reads a type byte and the value after it, through ReadValueOfType.
  EncodableValue ReadValue(ByteStreamReader& stream) const;

  // The size encoding. WriteSize throws std::length_error, writing nothing, for a size above
  // 4,294,967,295.
  void WriteSize(uint64_t size, ByteStreamWriter& stream) const;
  uint32_t ReadSize(ByteStreamReader& stream) const;

 protected:
  StandardCodecSerializer() = default;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CODEC_STANDARD_CODEC_SERIALIZER_H_
