#include "binding/codec/standard_method_codec.h"

#include <cstdint>
#include <map>
#include <utility>

#include "binding/codec/byte_buffer_streams.h"
#include "binding/diagnostic.h"

namespace flutter {
namespace {

constexpr uint8_t kSuccessMarker = 0;
constexpr uint8_t kErrorMarker = 1;

// Most messages are short. Room for this many bytes up front spares nearly every encode the
// vector's first reallocations, at 1, 2, 4, ... bytes, and a long message the first few of its own.
constexpr std::size_t kInitialCapacity = 128;

std::unique_ptr<std::vector<uint8_t>> NewMessage() {
  auto encoded = std::make_unique<std::vector<uint8_t>>();
  encoded->reserve(kInitialCapacity);
  return encoded;
}

}  // namespace

const StandardMethodCodec& StandardMethodCodec::Instance(
    const StandardCodecSerializer* serializer) {
  if (serializer == nullptr) serializer = &StandardCodecSerializer::Instance();
  // Never destroyed: codecs handed out must stay valid until the process ends.
  static auto* const codecs = new std::map<std::uintptr_t, std::unique_ptr<StandardMethodCodec>>();
  std::unique_ptr<StandardMethodCodec>& codec =
      (*codecs)[reinterpret_cast<std::uintptr_t>(serializer)];
  if (!codec) codec.reset(new StandardMethodCodec(*serializer));
  return *codec;
}

std::unique_ptr<MethodCall<EncodableValue>> StandardMethodCodec::DecodeCallImpl(
    const uint8_t* message, std::size_t message_size) const {
  ByteBufferStreamReader stream(message, message_size);
  EncodableValue method_name = serializer_->ReadValue(stream);
  auto* name = method_name.GetIf<std::string>();
  if (name == nullptr) {
    WriteDiagnosticLine("Invalid method call; method name is not a string.");
    return nullptr;
  }
  auto arguments = std::make_unique<EncodableValue>(serializer_->ReadValue(stream));
  // The decoded name is handed over, not copied: it is the call's name from here on.
  return std::make_unique<MethodCall<EncodableValue>>(std::move(*name), std::move(arguments));
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeCallImpl(
    const MethodCall<EncodableValue>& call) const {
  auto encoded = NewMessage();
  ByteBufferStreamWriter stream(encoded.get());
  serializer_->WriteValue(EncodableValue(call.MethodName()), stream);
  serializer_->WriteValue(call.Arguments() ? *call.Arguments() : EncodableValue(), stream);
  return encoded;
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeSuccessImpl(
    const EncodableValue* result) const {
  auto encoded = NewMessage();
  ByteBufferStreamWriter stream(encoded.get());
  stream.WriteByte(kSuccessMarker);
  serializer_->WriteValue(result ? *result : EncodableValue(), stream);
  return encoded;
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeErrorImpl(
    const std::string& error_code, const std::string& error_message,
    const EncodableValue* error_details) const {
  auto encoded = NewMessage();
  ByteBufferStreamWriter stream(encoded.get());
  stream.WriteByte(kErrorMarker);
  serializer_->WriteValue(EncodableValue(error_code), stream);
  serializer_->WriteValue(error_message.empty() ? EncodableValue() : EncodableValue(error_message),
                          stream);
  serializer_->WriteValue(error_details ? *error_details : EncodableValue(), stream);
  return encoded;
}

bool StandardMethodCodec::DecodeResponseImpl(const uint8_t* response, std::size_t response_size,
                                             MethodResult<EncodableValue>* result) const {
  ByteBufferStreamReader stream(response, response_size);
  switch (stream.ReadByte()) {
    case kSuccessMarker: {
      const EncodableValue value = serializer_->ReadValue(stream);
      if (value.IsNull()) {
        result->Success();
      } else {
        result->Success(value);
      }
      return true;
    }
    case kErrorMarker: {
      const EncodableValue code = serializer_->ReadValue(stream);
      const EncodableValue message = serializer_->ReadValue(stream);
      const EncodableValue details = serializer_->ReadValue(stream);
      // Throws std::bad_variant_access, before anything is delivered, unless the code is a string
      // and the message null or a string.
      const auto& error_code = code.Get<std::string>();
      const std::string error_message =
          message.IsNull() ? std::string() : message.Get<std::string>();
      if (details.IsNull()) {
        result->Error(error_code, error_message);
      } else {
        result->Error(error_code, error_message, details);
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace flutter
