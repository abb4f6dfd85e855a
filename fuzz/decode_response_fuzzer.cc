// Any bytes as the answer to an outgoing method call, through StandardMethodCodec::DecodeResponse.
//
// The marker byte decides: 0 delivers one Success, 1 one Error, anything else nothing and false.
// What is delivered must be what the envelope's values read as one by one, null standing for no
// value. Decoding may refuse only with std::length_error (the decoding bounds) or, for an error
// envelope whose code is not a string or whose message is neither null nor a string,
// std::bad_variant_access; a refusal delivers nothing.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "binding/channel/method_result.h"
#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/standard_codec_serializer.h"
#include "binding/codec/standard_method_codec.h"
#include "fuzz/fuzz_support.h"

namespace {

using flutter::EncodableValue;
using quorlax_fuzz::Encode;

struct Answer {
  enum Kind { kSuccess, kError, kNotImplemented };
  explicit Answer(Kind answer_kind) : kind(answer_kind) {}
  Kind kind;
  bool has_value = false;  // success value or error details present
  EncodableValue value;
  std::string code;
  std::string message;
};

class RecordingResult : public flutter::MethodResult<EncodableValue> {
 public:
  std::vector<Answer> answers;

 protected:
  void DeliverSuccess(const EncodableValue* result) override {
    Answer& answer = answers.emplace_back(Answer::kSuccess);
    Keep(answer, result);
  }
  void DeliverError(const std::string& code, const std::string& message,
                    const EncodableValue* details) override {
    Answer& answer = answers.emplace_back(Answer::kError);
    answer.code = code;
    answer.message = message;
    Keep(answer, details);
  }
  void DeliverNotImplemented() override { answers.emplace_back(Answer::kNotImplemented); }

 private:
  static void Keep(Answer& answer, const EncodableValue* value) {
    answer.has_value = value != nullptr;
    if (value != nullptr) answer.value = *value;
  }
};

// The envelope's values after the marker, read one by one from the start of the message.
struct Envelope {
  explicit Envelope(const quorlax_fuzz::OddCopy& input) : reader(input.data(), input.size()) {
    reader.ReadByte();
  }
  EncodableValue Next() { return flutter::StandardCodecSerializer::Instance().ReadValue(reader); }
  flutter::ByteBufferStreamReader reader;
};

// A value that is present must not be null; it must encode as the expected one does.
void RequireDelivered(const Answer& answer, const EncodableValue& expected) {
  QUORLAX_FUZZ_REQUIRE(answer.has_value == !expected.IsNull());
  if (answer.has_value) QUORLAX_FUZZ_REQUIRE(Encode(answer.value) == Encode(expected));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const flutter::StandardMethodCodec& codec = flutter::StandardMethodCodec::Instance();
  const quorlax_fuzz::OddCopy input(data, size);
  // A missing marker reads as 0.
  const uint8_t marker = size == 0 ? 0 : data[0];
  RecordingResult result;
  bool delivered = false;
  try {
    delivered = codec.DecodeResponse(input.data(), input.size(), &result);
  } catch (const std::length_error&) {
    QUORLAX_FUZZ_REQUIRE(marker <= 1 && result.answers.empty());
    return 0;
  } catch (const std::bad_variant_access&) {
    QUORLAX_FUZZ_REQUIRE(marker == 1 && result.answers.empty());
    Envelope envelope(input);
    const EncodableValue code = envelope.Next();
    const EncodableValue message = envelope.Next();
    QUORLAX_FUZZ_REQUIRE(!code.Holds<std::string>() ||
                         !(message.IsNull() || message.Holds<std::string>()));
    return 0;
  }
  QUORLAX_FUZZ_REQUIRE(delivered == (marker <= 1));
  if (!delivered) {
    QUORLAX_FUZZ_REQUIRE(result.answers.empty());
    return 0;
  }
  QUORLAX_FUZZ_REQUIRE(result.answers.size() == 1);
  const Answer& answer = result.answers.front();
  // The same bytes decoded once already without a refusal, so these reads cannot throw.
  Envelope envelope(input);
  if (marker == 0) {
    QUORLAX_FUZZ_REQUIRE(answer.kind == Answer::kSuccess);
    RequireDelivered(answer, envelope.Next());
    return 0;
  }
  QUORLAX_FUZZ_REQUIRE(answer.kind == Answer::kError);
  const EncodableValue code = envelope.Next();
  const EncodableValue message = envelope.Next();
  QUORLAX_FUZZ_REQUIRE(answer.code == code.Get<std::string>());
  QUORLAX_FUZZ_REQUIRE(answer.message ==
                       (message.IsNull() ? std::string() : message.Get<std::string>()));
  RequireDelivered(answer, envelope.Next());
  return 0;
}
