// The messenger's handler table and sends, observed in the stand-in engine's call log.
#include "binding/messaging/binary_messenger_impl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using engine_host::Engine;
using engine_host::Reply;
using quorlax_test::FromHex;
using testing::ElementsAre;
using testing::IsEmpty;

// Marks its flag when the handler (or reply) holding it is destroyed.
struct DestructionFlag {
  explicit DestructionFlag(bool* destroyed) : destroyed(destroyed) {}
  ~DestructionFlag() { *destroyed = true; }
  bool* destroyed;
};

ChannelMessageHandler HandlerWithFlag(bool* destroyed) {
  auto flag = std::make_shared<DestructionFlag>(destroyed);
  return [flag](const uint8_t*, std::size_t, ChannelReply) {};
}

class BinaryMessengerImplTest : public testing::Test {
 protected:
  Engine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
};

TEST_F(BinaryMessengerImplTest, ConstructionMakesNoEngineCall) {
  EXPECT_THAT(engine_.CallTexts(), IsEmpty());
}

TEST_F(BinaryMessengerImplTest, SetReplaceAndClearAHandler) {
  bool first_destroyed = false;
  messenger_.SetChannelHandler("ch", HandlerWithFlag(&first_destroyed));
  const void* user_data = engine_.CallbackFor("ch")->user_data;
  bool second_destroyed = false;
  messenger_.SetChannelHandler("ch", HandlerWithFlag(&second_destroyed));
  EXPECT_TRUE(first_destroyed);
  EXPECT_FALSE(second_destroyed);
  EXPECT_EQ(engine_.CallbackFor("ch")->user_data, user_data);  // the same entry
  messenger_.SetChannelHandler("ch", nullptr);
  EXPECT_TRUE(second_destroyed);
  messenger_.SetChannelHandler("never-set", nullptr);
  EXPECT_THAT(engine_.CallTexts(),
              ElementsAre("FlutterDesktopMessengerSetCallback(messenger#1, \"ch\", fn#1, ptr#1)",
                          "FlutterDesktopMessengerSetCallback(messenger#1, \"ch\", fn#1, ptr#1)",
                          "FlutterDesktopMessengerSetCallback(messenger#1, \"ch\", null, null)",
                          "FlutterDesktopMessengerSetCallback(messenger#1, \"never-set\", null, "
                          "null)"));
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(BinaryMessengerImplTest, RemovingAHandlerDestroysItBeforeTheEngineIsTold) {
  struct Watcher {
    Engine* engine;
    std::size_t* calls_at_destruction;
    ~Watcher() { *calls_at_destruction = engine->Calls().size(); }
  };
  std::size_t calls_at_destruction = 0;
  auto watcher = std::make_shared<Watcher>(Watcher{&engine_, &calls_at_destruction});
  messenger_.SetChannelHandler("ch", [watcher](const uint8_t*, std::size_t, ChannelReply) {});
  watcher.reset();
  messenger_.SetChannelHandler("ch", nullptr);
  EXPECT_EQ(calls_at_destruction, 1u);  // only the first SetCallback had been made
  EXPECT_EQ(engine_.Calls().size(), 2u);
}

TEST_F(BinaryMessengerImplTest, NamesThatDifferInCaseOrATrailingByteAreTwoChannels) {
  std::vector<std::string> seen;
  for (const std::string name : {"ch", "Ch", "ch "}) {
    messenger_.SetChannelHandler(
        name, [&seen, name](const uint8_t*, std::size_t, ChannelReply) { seen.push_back(name); });
  }
  EXPECT_NE(engine_.CallbackFor("ch")->user_data, engine_.CallbackFor("Ch")->user_data);
  EXPECT_NE(engine_.CallbackFor("ch")->user_data, engine_.CallbackFor("ch ")->user_data);
  engine_.Deliver("Ch", {});
  engine_.Deliver("ch ", {});
  engine_.Deliver("ch", {});
  EXPECT_THAT(seen, ElementsAre("Ch", "ch ", "ch"));
}

TEST_F(BinaryMessengerImplTest, SendWithoutAReply) {
  const std::vector<uint8_t> message = FromHex("01 02");
  messenger_.Send("out", message.data(), message.size(), nullptr);
  EXPECT_THAT(engine_.CallTexts(),
              ElementsAre("FlutterDesktopMessengerSend(messenger#1, \"out\", 01 02, 2) -> true"));
}

TEST_F(BinaryMessengerImplTest, TheReplyGetsTheEngineAnswerOnce) {
  struct Row {
    const char* name;
    std::vector<uint8_t> answer;
    bool null_answer;
  };
  for (const Row& row : {Row{"bytes", FromHex("AA BB"), false}, Row{"null", {}, true}}) {
    SCOPED_TRACE(row.name);
    Engine engine;
    BinaryMessengerImpl messenger(engine.messenger());
    engine.SetOutgoingHandler("out", [&row](const std::vector<uint8_t>&, Reply reply) {
      if (row.null_answer) {
        reply.Send(nullptr, 0);
      } else {
        reply.Send(row.answer);
      }
    });
    int calls = 0;
    bool was_null = false;
    std::vector<uint8_t> received;
    bool reply_destroyed = false;
    auto flag = std::make_shared<DestructionFlag>(&reply_destroyed);
    const uint8_t byte = 7;
    messenger.Send("out", &byte, 1, [&, flag](const uint8_t* reply, std::size_t size) {
      ++calls;
      was_null = reply == nullptr;
      if (reply != nullptr) received.assign(reply, reply + size);
    });
    flag.reset();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(was_null, row.null_answer);
    EXPECT_EQ(received, row.answer);
    EXPECT_TRUE(reply_destroyed);  // its holder is freed after the one call
    EXPECT_THAT(engine.Violations(), IsEmpty());
  }
}

TEST_F(BinaryMessengerImplTest, ARefusedReplyIsDestroyedUncalled) {
  engine_.SetRefusing("out", true);
  bool reply_destroyed = false;
  bool called = false;
  auto flag = std::make_shared<DestructionFlag>(&reply_destroyed);
  messenger_.Send("out", nullptr, 0,
                  [&called, flag](const uint8_t*, std::size_t) { called = true; });
  flag.reset();
  EXPECT_TRUE(reply_destroyed);
  EXPECT_FALSE(called);
  ASSERT_EQ(engine_.Calls().size(), 1u);
  EXPECT_EQ(engine_.Calls()[0].function, "FlutterDesktopMessengerSendWithReply");
  EXPECT_EQ(engine_.Calls()[0].result, "false");
}

TEST_F(BinaryMessengerImplTest, AReplyThatThrowsIsReportedAndFreed) {
  engine_.SetOutgoingHandler(
      "out", [](const std::vector<uint8_t>&, Reply reply) { reply.Send(nullptr, 0); });
  bool reply_destroyed = false;
  auto flag = std::make_shared<DestructionFlag>(&reply_destroyed);
  quorlax_test::StderrCapture capture;
  messenger_.Send("out", nullptr, 0, [flag](const uint8_t*, std::size_t) {
    throw std::runtime_error("reply failed");
  });
  flag.reset();
  EXPECT_THAT(capture.Lines(), ElementsAre("Exception in a message reply: reply failed"));
  EXPECT_TRUE(reply_destroyed);
}

TEST_F(BinaryMessengerImplTest, DestructionMakesNoEngineCall) {
  bool destroyed = false;
  {
    BinaryMessengerImpl messenger(engine_.messenger());
    messenger.SetChannelHandler("ch", HandlerWithFlag(&destroyed));
    engine_.ClearCalls();
  }
  EXPECT_TRUE(destroyed);
  EXPECT_THAT(engine_.CallTexts(), IsEmpty());
}

}  // namespace
}  // namespace flutter
