// Incoming messages and their use-once responses, observed in the stand-in engine's call log.
#include "binding/messaging/message_responder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "binding/messaging/binary_messenger_impl.h"
#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using engine_host::Engine;
using quorlax_test::FromHex;
using quorlax_test::StderrCapture;
using testing::ElementsAre;
using testing::IsEmpty;

const char kDuplicate[] = "Error: Response can be set only once. Ignoring duplicate response.";

class MessageResponderTest : public testing::Test {
 protected:
  // Texts of the engine calls made since the last look, for one message at a time.
  std::vector<std::string> TakeCalls() {
    std::vector<std::string> calls = engine_.CallTexts();
    engine_.ClearCalls();
    return calls;
  }

  // Sets `handler` on "ch" and forgets the SetCallback call.
  void Handle(ChannelMessageHandler handler) {
    messenger_.SetChannelHandler("ch", std::move(handler));
    engine_.ClearCalls();
  }

  Engine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
};

TEST_F(MessageResponderTest, AnAnswerBeforeReturningGoesOutUnderTheLockAndReleasesAtOnce) {
  const std::vector<uint8_t> message = FromHex("01 02 03");
  const std::vector<uint8_t> answer = FromHex("0A 0B");
  const uint8_t* seen_message = nullptr;
  std::size_t seen_size = 0;
  Handle([&](const uint8_t* bytes, std::size_t size, ChannelReply reply) {
    seen_message = bytes;
    seen_size = size;
    reply(answer.data(), answer.size());
  });
  const auto* response = engine_.Deliver("ch", message.data(), message.size());
  EXPECT_EQ(seen_message, message.data());  // the engine's own bytes, not a copy
  EXPECT_EQ(seen_size, 3u);
  EXPECT_THAT(TakeCalls(),
              ElementsAre("FlutterDesktopMessengerAddRef(messenger#1) -> messenger#1",
                          "FlutterDesktopMessengerLock(messenger#1) -> messenger#1",
                          "FlutterDesktopMessengerIsAvailable(messenger#1) -> true",
                          "FlutterDesktopMessengerSendResponse(messenger#1, response#1, 0A 0B, 2)",
                          "FlutterDesktopMessengerUnlock(messenger#1)",
                          "FlutterDesktopMessengerRelease(messenger#1)"));
  EXPECT_TRUE(engine_.Response(response)->answered);
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(MessageResponderTest, TheResponseBytesReachTheEngineUncopied) {
  const std::vector<uint8_t> answer = FromHex("05 06 07");
  Handle([&](const uint8_t*, std::size_t, ChannelReply reply) {
    reply(answer.data(), answer.size());
  });
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_EQ(engine_.Response(response)->bytes, answer);
  EXPECT_EQ(engine_.Response(response)->data, answer.data());
}

TEST_F(MessageResponderTest, AnEmptyAnswerIsSentAsSuch) {
  Handle([](const uint8_t*, std::size_t, ChannelReply reply) { reply(nullptr, 0); });
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_TRUE(engine_.Response(response)->answered);
  EXPECT_TRUE(engine_.Response(response)->null_data);
  EXPECT_THAT(TakeCalls(), testing::Contains("FlutterDesktopMessengerSendResponse(messenger#1, "
                                             "response#1, null, 0)"));
}

TEST_F(MessageResponderTest, AKeptReplyAnswersLaterFromAnotherThread) {
  ChannelReply kept;
  Handle([&kept](const uint8_t*, std::size_t, ChannelReply reply) { kept = std::move(reply); });
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_FALSE(engine_.Response(response)->answered);
  EXPECT_EQ(engine_.MessengerReferences(), 1u);

  std::thread answering([reply = std::move(kept)]() mutable {
    const uint8_t answer = 9;
    reply(&answer, 1);
    reply = nullptr;  // the last responder goes: the reference is released here
  });
  ASSERT_TRUE(engine_.WaitForResponse(response, std::chrono::seconds(10)));
  answering.join();
  EXPECT_EQ(engine_.Response(response)->bytes, std::vector<uint8_t>{9});
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
  EXPECT_THAT(TakeCalls(),
              ElementsAre("FlutterDesktopMessengerAddRef(messenger#1) -> messenger#1",
                          "FlutterDesktopMessengerLock(messenger#1) -> messenger#1",
                          "FlutterDesktopMessengerIsAvailable(messenger#1) -> true",
                          "FlutterDesktopMessengerSendResponse(messenger#1, response#1, 09, 1)",
                          "FlutterDesktopMessengerUnlock(messenger#1)",
                          "FlutterDesktopMessengerRelease(messenger#1)"));
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(MessageResponderTest, AnAnswerAfterTheEngineStoppedIsDroppedSilently) {
  ChannelReply kept;
  Handle([&kept](const uint8_t*, std::size_t, ChannelReply reply) { kept = std::move(reply); });
  const auto* response = engine_.Deliver("ch", {});
  engine_.SetAvailable(false);
  engine_.ClearCalls();
  StderrCapture capture;
  kept(nullptr, 0);
  kept(nullptr, 0);  // not even the duplicate line while unavailable
  kept = nullptr;
  EXPECT_THAT(capture.Lines(), IsEmpty());
  EXPECT_FALSE(engine_.Response(response)->answered);
  EXPECT_THAT(TakeCalls(), ElementsAre("FlutterDesktopMessengerLock(messenger#1) -> messenger#1",
                                       "FlutterDesktopMessengerIsAvailable(messenger#1) -> false",
                                       "FlutterDesktopMessengerUnlock(messenger#1)",
                                       "FlutterDesktopMessengerLock(messenger#1) -> messenger#1",
                                       "FlutterDesktopMessengerIsAvailable(messenger#1) -> false",
                                       "FlutterDesktopMessengerUnlock(messenger#1)",
                                       "FlutterDesktopMessengerRelease(messenger#1)"));
}

TEST_F(MessageResponderTest, ASecondAnswerWritesOneLineAndSendsNothing) {
  Handle([](const uint8_t*, std::size_t, ChannelReply reply) {
    const uint8_t first = 1;
    const uint8_t second = 2;
    reply(&first, 1);
    reply(&second, 1);
  });
  StderrCapture capture;
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_THAT(capture.Lines(), ElementsAre(kDuplicate));
  EXPECT_EQ(engine_.Response(response)->attempts, 1);
  EXPECT_EQ(engine_.Response(response)->bytes, std::vector<uint8_t>{1});
}

TEST_F(MessageResponderTest, CopiesOfAResponderShareItsOneAnswer) {
  Handle([](const uint8_t*, std::size_t, ChannelReply reply) {
    ChannelReply copy = reply;
    copy(nullptr, 0);
    reply(nullptr, 0);
  });
  StderrCapture capture;
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_THAT(capture.Lines(), ElementsAre(kDuplicate));
  EXPECT_EQ(engine_.Response(response)->attempts, 1);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(MessageResponderTest, ANullLockIsNotUnlockedAndTheAnswerStillGoesOut) {
  engine_.SetLockAnswersNull(true);
  Handle([](const uint8_t*, std::size_t, ChannelReply reply) { reply(nullptr, 0); });
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_TRUE(engine_.Response(response)->answered);
  EXPECT_THAT(TakeCalls(),
              ElementsAre("FlutterDesktopMessengerAddRef(messenger#1) -> messenger#1",
                          "FlutterDesktopMessengerLock(messenger#1) -> null",
                          "FlutterDesktopMessengerIsAvailable(messenger#1) -> true",
                          "FlutterDesktopMessengerSendResponse(messenger#1, response#1, null, 0)",
                          "FlutterDesktopMessengerRelease(messenger#1)"));
}

TEST_F(MessageResponderTest, ADroppedReplySendsNothingAndReleasesOnce) {
  Handle([](const uint8_t*, std::size_t, ChannelReply) {});
  StderrCapture capture;
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_THAT(capture.Lines(), IsEmpty());
  EXPECT_FALSE(engine_.Response(response)->answered);
  EXPECT_THAT(TakeCalls(), ElementsAre("FlutterDesktopMessengerAddRef(messenger#1) -> messenger#1",
                                       "FlutterDesktopMessengerRelease(messenger#1)"));
}

TEST_F(MessageResponderTest, AHandlerMayRemoveItsOwnChannelWhileItRuns) {
  auto state = std::make_shared<std::vector<int>>();
  Handle([this, state](const uint8_t*, std::size_t, ChannelReply reply) {
    messenger_.SetChannelHandler("ch", nullptr);
    state->push_back(1);  // still alive: the delivery holds the handler
    reply(nullptr, 0);
  });
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_TRUE(engine_.Response(response)->answered);
  EXPECT_THAT(*state, ElementsAre(1));
  EXPECT_FALSE(engine_.CallbackFor("ch").has_value() && engine_.CallbackFor("ch")->callback);
}

TEST_F(MessageResponderTest, AnExceptionFromTheHandlerIsReportedAndTheMessageAnsweredEmpty) {
  Handle([](const uint8_t*, std::size_t, ChannelReply) { throw std::runtime_error("boom"); });
  StderrCapture capture;
  const auto* response = engine_.Deliver("ch", {});
  EXPECT_THAT(capture.Lines(), ElementsAre("Exception in a message handler: boom"));
  EXPECT_TRUE(engine_.Response(response)->answered);
  EXPECT_TRUE(engine_.Response(response)->null_data);
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(MessageResponderTest, AnExceptionLeavesAKeptOrAnsweredReplyAlone) {
  ChannelReply kept;
  Handle([&kept](const uint8_t*, std::size_t, ChannelReply reply) {
    kept = reply;  // a copy lives on
    throw std::runtime_error("after keeping");
  });
  StderrCapture capture;
  const auto* kept_response = engine_.Deliver("ch", {});
  EXPECT_FALSE(engine_.Response(kept_response)->answered);
  kept(nullptr, 0);
  EXPECT_TRUE(engine_.Response(kept_response)->answered);

  Handle([](const uint8_t*, std::size_t, ChannelReply reply) {
    const uint8_t byte = 1;
    reply(&byte, 1);
    throw std::runtime_error("after answering");
  });
  const auto* answered = engine_.Deliver("ch", {});
  EXPECT_EQ(engine_.Response(answered)->attempts, 1);
  EXPECT_EQ(engine_.Response(answered)->bytes, std::vector<uint8_t>{1});
  EXPECT_THAT(capture.Lines(), ElementsAre("Exception in a message handler: after keeping",
                                           "Exception in a message handler: after answering"));
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

}  // namespace
}  // namespace flutter
