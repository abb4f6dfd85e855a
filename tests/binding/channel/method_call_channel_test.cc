// Method calls over a channel of a messenger on the stand-in engine: decoding, dispatch and the
// one-shot engine result.
#include "binding/channel/method_call_channel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "binding/channel/reply_slot.h"
#include "binding/codec/standard_method_codec.h"
#include "binding/messaging/binary_messenger_impl.h"
#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using engine_host::Engine;
using quorlax_test::FromHex;
using quorlax_test::StderrCapture;
using quorlax_test::ToHex;
using testing::ElementsAre;
using testing::IsEmpty;

using Result = std::unique_ptr<MethodResult<EncodableValue>>;

const char kUnableLine[] = "Unable to construct method call from message on channel quorlax";
const char kDuplicateLine[] =
    "Error: Only one of Success, Error, or NotImplemented can be called, and it can be called "
    "exactly once. Ignoring duplicate result.";
const char kLeakLine[] = "Warning: Failed to respond to a message. This is a memory leak.";

std::vector<uint8_t> EncodedCall(const std::string& method) {
  return *StandardMethodCodec::Instance().EncodeCall(MethodCall<>(method, nullptr));
}

class MethodCallChannelTest : public testing::Test {
 protected:
  // Installs `handler` on "quorlax" through a channel object that is gone right after.
  void Handle(CallHandler<> handler) {
    MethodCallChannel<> channel(&messenger_, "quorlax", &StandardMethodCodec::Instance());
    channel.SetCallHandler(std::move(handler));
  }

  // Delivers `message` on "quorlax"; returns the engine's record of the response.
  engine_host::ResponseRecord Deliver(const std::vector<uint8_t>& message) {
    return *engine_.Response(engine_.Deliver("quorlax", message));
  }

  Engine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
};

TEST_F(MethodCallChannelTest, AnswersEncodeIntoEnvelopes) {
  const struct {
    const char* method;
    const char* envelope;  // null: the empty response
  } rows[] = {
      {"success", "00 07 02 6F 6B"},
      {"success without value", "00 00"},
      {"error", "01 07 02 45 31 07 03 62 61 64 03 07 00 00 00"},
      {"not implemented", nullptr},
  };
  Handle([](const MethodCall<>& call, Result result) {
    const std::string& method = call.MethodName();
    if (method == "success") result->Success(EncodableValue("ok"));
    if (method == "success without value") result->Success();
    if (method == "error") result->Error("E1", "bad", EncodableValue(7));
    if (method == "not implemented") result->NotImplemented();
  });
  for (const auto& row : rows) {
    SCOPED_TRACE(row.method);
    StderrCapture capture;
    const engine_host::ResponseRecord response = Deliver(EncodedCall(row.method));
    EXPECT_THAT(capture.Lines(), IsEmpty());
    ASSERT_TRUE(response.answered);
    EXPECT_EQ(response.null_data, row.envelope == nullptr);
    EXPECT_EQ(ToHex(response.bytes), row.envelope ? row.envelope : "");
  }
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(MethodCallChannelTest, AMessageThatIsNotACallGetsALineAndTheEmptyResponse) {
  int calls = 0;
  Handle([&calls](const MethodCall<>&, Result result) {
    ++calls;
    result->Success();
  });
  const struct {
    const char* name;
    const char* hex;
    std::vector<std::string> lines;
  } rows[] = {
      {"int32 first",
       "03 01 00 00 00",
       {"Invalid method call; method name is not a string.", kUnableLine}},
      {"declares 4 GiB",
       "07 FF FF FF FF FF",
       {"Size 4294967295 runs past the end of the data in "
        "StandardCodecSerializer::ReadValueOfType",
        kUnableLine}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    const engine_host::ResponseRecord response = Deliver(FromHex(row.hex));
    EXPECT_EQ(capture.Lines(), row.lines);
    EXPECT_TRUE(response.answered);
    EXPECT_TRUE(response.null_data);
  }
  // Later messages are dispatched as before.
  EXPECT_TRUE(Deliver(EncodedCall("m")).answered);
  EXPECT_EQ(calls, 1);
}

TEST_F(MethodCallChannelTest, ASecondAnswerIsReportedAndNotSent) {
  Handle([](const MethodCall<>&, Result result) {
    result->Success(EncodableValue(1));
    result->Error("late");
  });
  StderrCapture capture;
  const engine_host::ResponseRecord response = Deliver(EncodedCall("m"));
  EXPECT_THAT(capture.Lines(), ElementsAre(kDuplicateLine));
  EXPECT_EQ(response.attempts, 1);
  EXPECT_EQ(ToHex(response.bytes), "00 03 01 00 00 00");
}

TEST_F(MethodCallChannelTest, AResultLetGoUnansweredWarnsAndSendsNothing) {
  Handle([](const MethodCall<>&, Result) {});
  StderrCapture capture;
  const engine_host::ResponseRecord response = Deliver(EncodedCall("m"));
  EXPECT_THAT(capture.Lines(), ElementsAre(kLeakLine));
  EXPECT_FALSE(response.answered);
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
}

TEST_F(MethodCallChannelTest, AKeptResultAnswersAfterTheCallIsGone) {
  Result kept;
  std::string method;
  Handle([&](const MethodCall<>& call, Result result) {
    method = call.MethodName();  // the call lives only while the handler runs
    kept = std::move(result);
  });
  StderrCapture capture;
  const auto* handle = engine_.Deliver("quorlax", EncodedCall("later"));
  EXPECT_FALSE(engine_.Response(handle)->answered);
  kept->Success(EncodableValue(method));
  kept.reset();
  EXPECT_THAT(capture.Lines(), IsEmpty());
  EXPECT_EQ(ToHex(engine_.Response(handle)->bytes), "00 07 05 6C 61 74 65 72");
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
}

TEST_F(MethodCallChannelTest, AHandlerThatThrowsLeavesTheSenderAnEmptyResponse) {
  Handle([](const MethodCall<>&, Result) { throw std::runtime_error("handler failed"); });
  StderrCapture capture;
  const engine_host::ResponseRecord response = Deliver(EncodedCall("m"));
  EXPECT_THAT(capture.Lines(), ElementsAre("Exception in a message handler: handler failed"));
  EXPECT_TRUE(response.answered);
  EXPECT_TRUE(response.null_data);
}

TEST_F(MethodCallChannelTest, AnEmptyHandlerRemovesTheChannelsHandlerAndANewOneReplacesIt) {
  Handle([](const MethodCall<>&, Result result) { result->Success(EncodableValue(1)); });
  Handle(nullptr);
  EXPECT_TRUE(Deliver(EncodedCall("m")).answered_by_engine);
  Handle([](const MethodCall<>&, Result result) { result->Success(EncodableValue(2)); });
  Handle([](const MethodCall<>&, Result result) { result->Success(EncodableValue(3)); });
  EXPECT_EQ(ToHex(Deliver(EncodedCall("m")).bytes), "00 03 03 00 00 00");
}

// The standard codec, remembering where the last message it decoded and the last envelope it
// encoded live.
class RememberingCodec : public MethodCodec<EncodableValue> {
 public:
  mutable const uint8_t* last_message = nullptr;
  mutable const uint8_t* last_envelope = nullptr;

 protected:
  std::unique_ptr<MethodCall<EncodableValue>> DecodeCallImpl(const uint8_t* message,
                                                             std::size_t size) const override {
    last_message = message;
    return Standard().DecodeCall(message, size);
  }
  std::unique_ptr<std::vector<uint8_t>> EncodeCallImpl(const MethodCall<>& call) const override {
    return Standard().EncodeCall(call);
  }
  std::unique_ptr<std::vector<uint8_t>> EncodeSuccessImpl(
      const EncodableValue* result) const override {
    return Remember(Standard().EncodeSuccess(result));
  }
  std::unique_ptr<std::vector<uint8_t>> EncodeErrorImpl(
      const std::string& code, const std::string& message,
      const EncodableValue* details) const override {
    return Remember(Standard().EncodeError(code, message, details));
  }
  bool DecodeResponseImpl(const uint8_t* response, std::size_t size,
                          MethodResult<EncodableValue>* result) const override {
    return Standard().DecodeResponse(response, size, result);
  }

 private:
  static const StandardMethodCodec& Standard() { return StandardMethodCodec::Instance(); }
  std::unique_ptr<std::vector<uint8_t>> Remember(
      std::unique_ptr<std::vector<uint8_t>> bytes) const {
    last_envelope = bytes->data();
    return bytes;
  }
};

TEST_F(MethodCallChannelTest, NeitherTheMessageNorTheAnswerIsCopied) {
  const RememberingCodec codec;
  MethodCallChannel<> channel(&messenger_, "quorlax", &codec);
  channel.SetCallHandler(
      [](const MethodCall<>&, Result result) { result->Success(EncodableValue("answer")); });
  const std::vector<uint8_t> message = EncodedCall("m");
  const auto* handle = engine_.Deliver("quorlax", message);
  EXPECT_EQ(codec.last_message, message.data());  // decoded where the engine put it
  ASSERT_NE(codec.last_envelope, nullptr);
  EXPECT_EQ(engine_.Response(handle)->data, codec.last_envelope);  // sent from the envelope itself
}

TEST(ReplySlotTest, AnEmptyOrMissingAnswerIsPassedAsNullAndZero) {
  for (const bool give_vector : {false, true}) {
    SCOPED_TRACE(give_vector ? "empty vector" : "no vector");
    const uint8_t* seen = reinterpret_cast<const uint8_t*>(&give_vector);
    std::size_t seen_size = 99;
    ReplySlot slot([&](const uint8_t* bytes, std::size_t size) {
      seen = bytes;
      seen_size = size;
    });
    const std::vector<uint8_t> empty;
    slot.Respond(give_vector ? &empty : nullptr);
    EXPECT_EQ(seen, nullptr);
    EXPECT_EQ(seen_size, 0u);
  }
}

}  // namespace
}  // namespace flutter
