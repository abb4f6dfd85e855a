// StandardMethodCodec: method calls and result envelopes as short runs of values in the standard
// encoding.
//
//   method call:      name (string value), argument value (null when none)
//   success envelope: 0x00, result value (null when none)
//   error envelope:   0x01, code (string value), message (string value, null when empty),
//                     details value (null when none)
//
// Bytes after the last value are ignored on decoding.
#ifndef QUORLAX_BINDING_CODEC_STANDARD_METHOD_CODEC_H_
#define QUORLAX_BINDING_CODEC_STANDARD_METHOD_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "binding/codec/encodable_value.h"
#include "binding/codec/method_codec.h"
#include "binding/codec/standard_codec_serializer.h"

namespace flutter {

class StandardMethodCodec final : public MethodCodec<EncodableValue> {
 public:
  // The process-wide codec bound to `serializer` (the standard serializer when null), made on
  // first request. Codecs are never destroyed, so `serializer` must live until the process ends.
  // Only the creation of the table of codecs is synchronised: call from one thread at a time.
  static const StandardMethodCodec& Instance(const StandardCodecSerializer* serializer = nullptr);

  ~StandardMethodCodec() override = default;

 protected:
  std::unique_ptr<MethodCall<EncodableValue>> DecodeCallImpl(
      const uint8_t* message, std::size_t message_size) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeCallImpl(
      const MethodCall<EncodableValue>& call) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeSuccessImpl(
      const EncodableValue* result) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeErrorImpl(
      const std::string& error_code, const std::string& error_message,
      const EncodableValue* error_details) const override;
  bool DecodeResponseImpl(const uint8_t* response, std::size_t response_size,
                          MethodResult<EncodableValue>* result) const override;

 private:
  explicit StandardMethodCodec(const StandardCodecSerializer& serializer) noexcept
      : serializer_(&serializer) {}

  const StandardCodecSerializer* serializer_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CODEC_STANDARD_METHOD_CODEC_H_
