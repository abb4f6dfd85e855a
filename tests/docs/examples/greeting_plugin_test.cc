// The worked example of docs/architecture.md, registered through the registrar table as the
// module registers its plugin, and called through the stand-in engine.
#include "docs/examples/greeting_plugin.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binding/codec/standard_method_codec.h"
#include "binding/registrar/registrar_table.h"
#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace {

using engine_host::Engine;
using flutter::EncodableValue;
using flutter::StandardMethodCodec;
using flutter::ValueMap;
using quorlax_test::RecordingResult;
using quorlax_test::StderrCapture;
using testing::IsEmpty;
using testing::SizeIs;
using Answer = RecordingResult::Answer;

const char kChannel[] = "quorlax_example/greeting";
const char kBadArgumentMessage[] = "getGreeting takes a map with a string under \"name\"";

class GreetingPluginTest : public testing::Test {
 protected:
  GreetingPluginTest() {
    quorlax_example::GreetingPlugin::RegisterWithRegistrar(
        flutter::RegistrarTable::Instance().FindOrCreate(engine_.CreateRegistrar(true)));
  }

  // Delivers the call on the channel; returns the engine's record of the response.
  engine_host::ResponseRecord Call(const std::string& method, const EncodableValue* arguments) {
    const std::unique_ptr<std::vector<uint8_t>> message =
        StandardMethodCodec::Instance().EncodeCall(flutter::MethodCall<>(
            method, arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr));
    return *engine_.Response(engine_.Deliver(kChannel, *message));
  }

  // Destroying the engine destroys the registrar, and with it the wrapper and the plugin.
  Engine engine_;
};

TEST_F(GreetingPluginTest, AnswersWithAGreetingAnErrorOrNotImplemented) {
  const EncodableValue ada(ValueMap{{"name", "Ada"}});
  const EncodableValue ada_and_more(ValueMap{{"name", "Ada"}, {"title", "Countess"}});
  const EncodableValue just_a_string("Ada");
  const EncodableValue misnamed(ValueMap{{"nom", "Ada"}});
  const EncodableValue numeric_name(ValueMap{{"name", 7}});
  const struct {
    const char* name;
    const char* method;
    const EncodableValue* arguments;
    Answer::Kind kind;
    const char* greeting;  // for a success
  } rows[] = {
      {"a name", "getGreeting", &ada, Answer::kSuccess, "Hello, Ada!"},
      {"other keys beside the name", "getGreeting", &ada_and_more, Answer::kSuccess, "Hello, Ada!"},
      {"no argument", "getGreeting", nullptr, Answer::kError, nullptr},
      {"a string, not a map", "getGreeting", &just_a_string, Answer::kError, nullptr},
      {"a map without a name", "getGreeting", &misnamed, Answer::kError, nullptr},
      {"a name that is not a string", "getGreeting", &numeric_name, Answer::kError, nullptr},
      {"another method", "getFarewell", &ada, Answer::kNotImplemented, nullptr},
      {"the method in other case", "GetGreeting", &ada, Answer::kNotImplemented, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    const engine_host::ResponseRecord response = Call(row.method, row.arguments);
    // Every path answers, and none goes through a diagnostic.
    EXPECT_THAT(capture.Lines(), IsEmpty());
    ASSERT_TRUE(response.answered);
    EXPECT_FALSE(response.answered_by_engine);
    if (row.kind == Answer::kNotImplemented) {
      EXPECT_TRUE(response.null_data);
      continue;
    }
    const auto answers = std::make_shared<std::vector<Answer>>();
    RecordingResult decoded(answers);
    ASSERT_TRUE(StandardMethodCodec::Instance().DecodeResponse(response.bytes.data(),
                                                               response.bytes.size(), &decoded));
    ASSERT_THAT(*answers, SizeIs(1));
    const Answer& answer = answers->front();
    EXPECT_EQ(answer.kind, row.kind);
    if (row.kind == Answer::kSuccess) {
      EXPECT_THAT(answer.value, quorlax_test::IsEquivalentTo(EncodableValue(row.greeting)));
    } else {
      EXPECT_EQ(answer.code, "bad-argument");
      EXPECT_EQ(answer.message, kBadArgumentMessage);
      EXPECT_FALSE(answer.has_value);
    }
  }
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

}  // namespace
