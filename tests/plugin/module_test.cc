// The module end to end, through its one export only, on the stand-in engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "binding/codec/standard_method_codec.h"
#include "platform/engine/engine_host.h"
#include "plugin/quorlax_plugin_c_api.h"
#include "tests/plugin/version_answer.h"
#include "tests/support/test_support.h"

namespace {

using engine_host::Engine;
using flutter::EncodableValue;
using flutter::MethodCall;
using flutter::StandardMethodCodec;
using quorlax_test::StderrCapture;
using quorlax_test::ToHex;
using testing::ElementsAre;
using testing::IsEmpty;

std::vector<uint8_t> EncodedCall(const std::string& method, const EncodableValue* arguments) {
  return *StandardMethodCodec::Instance().EncodeCall(
      MethodCall<>(method, arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr));
}

std::string VersionEnvelope() {
  const EncodableValue answer(quorlax_test::ExpectedVersionAnswer());
  return ToHex(*StandardMethodCodec::Instance().EncodeSuccess(&answer));
}

// Delivers a call on "quorlax" and returns the response record.
engine_host::ResponseRecord Call(Engine& engine, const std::vector<uint8_t>& message) {
  return *engine.Response(engine.Deliver("quorlax", message));
}

TEST(ModuleTest, AnswersGetPlatformVersionAndNothingElse) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef registrar = engine.CreateRegistrar(true);
  QuorlaxPluginCApiRegisterWithRegistrar(registrar);

  StderrCapture capture;
  const EncodableValue arguments(flutter::ValueMap{{"any", 1}});
  for (const EncodableValue* args : {static_cast<const EncodableValue*>(nullptr), &arguments}) {
    const engine_host::ResponseRecord version =
        Call(engine, EncodedCall("getPlatformVersion", args));
    ASSERT_TRUE(version.answered);
    EXPECT_EQ(ToHex(version.bytes), VersionEnvelope());
  }
  for (const char* other : {"getBatteryLevel", "getplatformversion", ""}) {
    SCOPED_TRACE(other);
    const engine_host::ResponseRecord response = Call(engine, EncodedCall(other, nullptr));
    EXPECT_TRUE(response.answered);
    EXPECT_FALSE(response.answered_by_engine);
    EXPECT_TRUE(response.null_data);
  }
  EXPECT_THAT(capture.Lines(), IsEmpty());
  EXPECT_EQ(engine.MessengerReferences(), 0u);
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

TEST(ModuleTest, TheWindows10AnswerIsTheFourteenByteEnvelope) {
  if (quorlax_test::ExpectedVersionAnswer() != "Windows 10+") GTEST_SKIP() << "not Windows 10";
  EXPECT_EQ(VersionEnvelope(), "00 07 0B 57 69 6E 64 6F 77 73 20 31 30 2B");
}

TEST(ModuleTest, AMessageThatIsNotACallGetsLinesAndAnEmptyResponse) {
  Engine engine;
  QuorlaxPluginCApiRegisterWithRegistrar(engine.CreateRegistrar(true));
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> lines;
  } rows[] = {
      {"int32 first",
       quorlax_test::FromHex("03 01 00 00 00"),
       {"Invalid method call; method name is not a string.",
        "Unable to construct method call from message on channel quorlax"}},
      {"empty message",
       {},
       {"Invalid read in StandardCodecByteStreamReader",
        "Invalid method call; method name is not a string.",
        "Unable to construct method call from message on channel quorlax"}},
      // 0C 0C ...: a list of 12 lists of 12 lists, and so on, until the depth bound.
      {"nested a million deep",
       std::vector<uint8_t>(1000000, 0x0C),
       {"Values nested deeper than 128 in StandardCodecSerializer::ReadValueOfType",
        "Unable to construct method call from message on channel quorlax"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    const engine_host::ResponseRecord response = Call(engine, row.bytes);
    EXPECT_EQ(capture.Lines(), row.lines);
    EXPECT_TRUE(response.answered);
    EXPECT_TRUE(response.null_data);
  }
}

TEST(ModuleTest, RegisteringTwiceOnOneHandleLeavesOneHandler) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef registrar = engine.CreateRegistrar(true);
  QuorlaxPluginCApiRegisterWithRegistrar(registrar);
  const auto first = engine.CallbackFor("quorlax");
  QuorlaxPluginCApiRegisterWithRegistrar(registrar);
  const auto second = engine.CallbackFor("quorlax");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->user_data, second->user_data);
  const std::vector<std::string> calls = engine.CallTexts();
  // The wrapper is built once; the handler is set twice on one entry.
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) {
                            return call.rfind("FlutterDesktopPluginRegistrarGetMessenger", 0) == 0;
                          }),
            1);
  EXPECT_EQ(ToHex(Call(engine, EncodedCall("getPlatformVersion", nullptr)).bytes),
            VersionEnvelope());
}

TEST(ModuleTest, TwoRegistrarsEachGetTheirOwnHandler) {
  Engine one;
  Engine two;
  QuorlaxPluginCApiRegisterWithRegistrar(one.CreateRegistrar(true));
  QuorlaxPluginCApiRegisterWithRegistrar(two.CreateRegistrar(false));
  ASSERT_TRUE(one.CallbackFor("quorlax") && two.CallbackFor("quorlax"));
  EXPECT_NE(one.CallbackFor("quorlax")->user_data, two.CallbackFor("quorlax")->user_data);
  EXPECT_EQ(ToHex(Call(one, EncodedCall("getPlatformVersion", nullptr)).bytes), VersionEnvelope());
  EXPECT_EQ(ToHex(Call(two, EncodedCall("getPlatformVersion", nullptr)).bytes), VersionEnvelope());
}

TEST(ModuleTest, TeardownThenRegistrationAgain) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef first = engine.CreateRegistrar(true);
  QuorlaxPluginCApiRegisterWithRegistrar(first);
  engine.ClearCalls();
  EXPECT_TRUE(engine.DestroyRegistrar(first));
  EXPECT_THAT(engine.CallTexts(), IsEmpty());  // teardown makes no engine call

  const FlutterDesktopPluginRegistrarRef second = engine.CreateRegistrar(true);
  QuorlaxPluginCApiRegisterWithRegistrar(second);
  EXPECT_EQ(ToHex(Call(engine, EncodedCall("getPlatformVersion", nullptr)).bytes),
            VersionEnvelope());
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

}  // namespace
