#include "plugin/quorlax_plugin.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/plugin/version_answer.h"
#include "tests/support/test_support.h"

namespace quorlax {
namespace {

using flutter::EncodableValue;
using flutter::MethodCall;
using quorlax_test::RecordingResult;
using Answer = RecordingResult::Answer;

std::vector<Answer> Call(const std::string& method, std::unique_ptr<EncodableValue> arguments) {
  auto answers = std::make_shared<std::vector<Answer>>();
  QuorlaxPlugin plugin;
  plugin.OnMethodCall(MethodCall<>(method, std::move(arguments)),
                      std::make_unique<RecordingResult>(answers));
  return *answers;
}

TEST(QuorlaxPluginTest, GetPlatformVersionAnswersOnceWithTheVersionText) {
  const std::vector<Answer> answers = Call("getPlatformVersion", nullptr);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].kind, Answer::kSuccess);
  ASSERT_TRUE(answers[0].has_value);
  EXPECT_EQ(answers[0].value.Get<std::string>(), quorlax_test::ExpectedVersionAnswer());
}

TEST(QuorlaxPluginTest, ArgumentsDoNotChangeTheAnswer) {
  const std::string expected = quorlax_test::ExpectedVersionAnswer();
  for (const EncodableValue& arguments :
       {EncodableValue(), EncodableValue("x"), EncodableValue(flutter::ValueMap{{"a", 1}})}) {
    const std::vector<Answer> answers =
        Call("getPlatformVersion", std::make_unique<EncodableValue>(arguments));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].value.Get<std::string>(), expected);
  }
}

TEST(QuorlaxPluginTest, EveryOtherNameIsNotImplemented) {
  for (const char* name :
       {"", "getplatformversion", "GetPlatformVersion", "getPlatformVersion ",
        " getPlatformVersion", "getPlatform", "getPlatformVersions", "getBatteryLevel"}) {
    SCOPED_TRACE(std::string("\"") + name + "\"");
    const std::vector<Answer> answers = Call(name, nullptr);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].kind, Answer::kNotImplemented);
  }
  const std::vector<Answer> with_nul = Call(std::string("getPlatformVersion\0", 19), nullptr);
  ASSERT_EQ(with_nul.size(), 1u);
  EXPECT_EQ(with_nul[0].kind, Answer::kNotImplemented);
}

}  // namespace
}  // namespace quorlax
