// MethodCodec: turns method calls and their answers into bytes and back.
//
// The public operations forward unchanged to the protected ...Impl operations that a codec
// implements. Decoding reads the given bytes in place and keeps no reference to them; every
// encode returns a new vector that the caller owns.
//
// Thread safety: as long as the implementation's are; StandardMethodCodec's are safe to call from
// any number of threads at once.
#ifndef QUORLAX_BINDING_CODEC_METHOD_CODEC_H_
#define QUORLAX_BINDING_CODEC_METHOD_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "binding/channel/method_call.h"
#include "binding/channel/method_result.h"
#include "binding/codec/encodable_value.h"

namespace flutter {

template <typename T = EncodableValue>
class MethodCodec {
 public:
  virtual ~MethodCodec() = default;

  MethodCodec(const MethodCodec&) = delete;
  MethodCodec& operator=(const MethodCodec&) = delete;

  // The call encoded in `message`, or null when the bytes are not a method call.
  std::unique_ptr<MethodCall<T>> DecodeCall(const uint8_t* message,
                                            std::size_t message_size) const {
    return DecodeCallImpl(message, message_size);
  }
  std::unique_ptr<std::vector<uint8_t>> EncodeCall(const MethodCall<T>& call) const {
    return EncodeCallImpl(call);
  }
  // A success envelope; `result` may be null: no value.
  std::unique_ptr<std::vector<uint8_t>> EncodeSuccess(const T* result = nullptr) const {
    return EncodeSuccessImpl(result);
  }
  // An error envelope; `error_details` may be null: no details.
  std::unique_ptr<std::vector<uint8_t>> EncodeError(const std::string& error_code,
                                                    const std::string& error_message = "",
                                                    const T* error_details = nullptr) const {
    return EncodeErrorImpl(error_code, error_message, error_details);
  }
  // Delivers the answer in `response` to `result`. True when an envelope with a known marker was
  // delivered; false, with nothing delivered, otherwise.
  bool DecodeResponse(const uint8_t* response, std::size_t response_size,
                      MethodResult<T>* result) const {
    return DecodeResponseImpl(response, response_size, result);
  }

 protected:
  MethodCodec() = default;

  virtual std::unique_ptr<MethodCall<T>> DecodeCallImpl(const uint8_t* message,
                                                        std::size_t message_size) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeCallImpl(const MethodCall<T>& call) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeSuccessImpl(const T* result) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeErrorImpl(const std::string& error_code,
                                                                const std::string& error_message,
                                                                const T* error_details) const = 0;
  virtual bool DecodeResponseImpl(const uint8_t* response, std::size_t response_size,
                                  MethodResult<T>* result) const = 0;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CODEC_METHOD_CODEC_H_
