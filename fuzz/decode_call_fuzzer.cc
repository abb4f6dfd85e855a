// Any bytes as an incoming method call, through StandardMethodCodec::DecodeCall.
//
// Decoding must give a call exactly when the first value is a string (type byte 5 or 7), refuse
// only with std::length_error, and give every call an argument value. A call that came out must
// encode again with the same method name in front.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "binding/channel/method_call.h"
#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/standard_codec_serializer.h"
#include "binding/codec/standard_method_codec.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const flutter::StandardMethodCodec& codec = flutter::StandardMethodCodec::Instance();
  const quorlax_fuzz::OddCopy input(data, size);
  std::unique_ptr<flutter::MethodCall<flutter::EncodableValue>> call;
  try {
    call = codec.DecodeCall(input.data(), input.size());
  } catch (const std::length_error&) {
    return 0;
  }
  const bool name_first = size != 0 && (data[0] == 5 || data[0] == 7);
  QUORLAX_FUZZ_REQUIRE((call != nullptr) == name_first);
  if (call == nullptr) return 0;
  QUORLAX_FUZZ_REQUIRE(call->Arguments() != nullptr);

  const std::unique_ptr<std::vector<uint8_t>> encoded = codec.EncodeCall(*call);
  QUORLAX_FUZZ_REQUIRE(encoded != nullptr);
  const quorlax_fuzz::OddCopy again(*encoded);
  flutter::ByteBufferStreamReader reader(again.data(), again.size());
  const flutter::EncodableValue name =
      flutter::StandardCodecSerializer::Instance().ReadValue(reader);
  const std::string* text = name.GetIf<std::string>();
  QUORLAX_FUZZ_REQUIRE(text != nullptr && *text == call->MethodName());
  return 0;
}
