#include "binding/codec/standard_method_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "tests/support/test_support.h"

namespace flutter {
namespace {

using quorlax_test::FromHex;
using quorlax_test::IsEquivalentTo;
using quorlax_test::RecordingResult;
using quorlax_test::StderrCapture;
using quorlax_test::ToHex;
using testing::ElementsAre;
using testing::IsEmpty;
using Answer = RecordingResult::Answer;

const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";
const char kNotAString[] = "Invalid method call; method name is not a string.";
const char kCallHex[] =
    "07 12 67 65 74 50 6C 61 74 66 6F 72 6D 56 65 72 73 69 6F 6E 00";  // getPlatformVersion, null

const StandardMethodCodec& Codec() { return StandardMethodCodec::Instance(); }

TEST(StandardMethodCodecTest, InstanceIsOnePerSerializer) {
  const StandardMethodCodec& codec = StandardMethodCodec::Instance();
  EXPECT_EQ(&codec, &StandardMethodCodec::Instance(&StandardCodecSerializer::Instance()));
  EXPECT_EQ(&codec, &StandardMethodCodec::Instance(nullptr));

  class OtherSerializer : public StandardCodecSerializer {};
  static const OtherSerializer other;  // codecs live until the process ends; so must this
  const StandardMethodCodec& other_codec = StandardMethodCodec::Instance(&other);
  EXPECT_NE(&other_codec, &codec);
  EXPECT_EQ(&other_codec, &StandardMethodCodec::Instance(&other));
}

TEST(StandardMethodCodecTest, EncodesEnvelopesAndCalls) {
  const EncodableValue version("Windows 10+");
  const EncodableValue null_value;
  const EncodableValue details(7);
  const struct {
    const char* name;
    std::unique_ptr<std::vector<uint8_t>> bytes;
    const char* hex;
  } rows[] = {
      {"success with a string", Codec().EncodeSuccess(&version),
       "00 07 0B 57 69 6E 64 6F 77 73 20 31 30 2B"},
      {"success without a value", Codec().EncodeSuccess(), "00 00"},
      {"success with null", Codec().EncodeSuccess(&null_value), "00 00"},
      {"error, empty message", Codec().EncodeError("E1"), "01 07 02 45 31 00 00"},
      {"error with message", Codec().EncodeError("E1", "bad"), "01 07 02 45 31 07 03 62 61 64 00"},
      {"error with details", Codec().EncodeError("E1", "", &details),
       "01 07 02 45 31 00 03 07 00 00 00"},
      {"error, empty code", Codec().EncodeError(""), "01 07 00 00 00"},
      {"call without argument", Codec().EncodeCall(MethodCall<>("getPlatformVersion", nullptr)),
       kCallHex},
      {"call with argument",
       Codec().EncodeCall(MethodCall<>("m", std::make_unique<EncodableValue>(true))),
       "07 01 6D 01"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ToHex(*row.bytes), row.hex);
  }
}

TEST(StandardMethodCodecTest, DecodesACall) {
  const std::vector<uint8_t> bytes = FromHex(kCallHex);
  StderrCapture capture;
  const std::unique_ptr<MethodCall<>> call = Codec().DecodeCall(bytes.data(), bytes.size());
  ASSERT_NE(call, nullptr);
  EXPECT_EQ(call->MethodName(), "getPlatformVersion");
  ASSERT_NE(call->Arguments(), nullptr);
  EXPECT_TRUE(call->Arguments()->IsNull());
  EXPECT_THAT(capture.Lines(), IsEmpty());
}

TEST(StandardMethodCodecTest, DecodeCallCases) {
  const struct {
    const char* name;
    const char* hex;
    const char* method;  // null: no call
    EncodableValue arguments;
    std::vector<std::string> lines;
  } rows[] = {
      {"name without argument",
       "07 12 67 65 74 50 6C 61 74 66 6F 72 6D 56 65 72 73 69 6F 6E",
       "getPlatformVersion",
       EncodableValue(),
       {kInvalidRead}},
      {"bytes after the argument are ignored",
       "07 01 6D 03 05 00 00 00 FF FF",
       "m",
       EncodableValue(5),
       {}},
      {"map argument",
       "07 01 6D 0D 01 07 01 61 01",
       "m",
       EncodableValue(ValueMap{{"a", true}}),
       {}},
      {"empty name", "07 00 00", "", EncodableValue(), {}},
      {"int32 first", "03 01 00 00 00", nullptr, EncodableValue(), {kNotAString}},
      {"null first", "00 07 01 6D", nullptr, EncodableValue(), {kNotAString}},
      {"empty message", "", nullptr, EncodableValue(), {kInvalidRead, kNotAString}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<uint8_t> bytes = FromHex(row.hex);
    StderrCapture capture;
    const std::unique_ptr<MethodCall<>> call = Codec().DecodeCall(bytes.data(), bytes.size());
    EXPECT_EQ(capture.Lines(), row.lines);
    if (row.method == nullptr) {
      EXPECT_EQ(call, nullptr);
      continue;
    }
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->MethodName(), row.method);
    ASSERT_NE(call->Arguments(), nullptr);
    EXPECT_THAT(*call->Arguments(), IsEquivalentTo(row.arguments));
  }
}

TEST(StandardMethodCodecTest, EncodedCallWithoutArgumentDecodesWithANullArgument) {
  const auto bytes = Codec().EncodeCall(MethodCall<>("m", nullptr));
  const auto call = Codec().DecodeCall(bytes->data(), bytes->size());
  ASSERT_NE(call, nullptr);
  ASSERT_NE(call->Arguments(), nullptr);
  EXPECT_TRUE(call->Arguments()->IsNull());
}

struct Decoded {
  bool returned;
  std::vector<Answer> answers;
  std::vector<std::string> lines;
};

Decoded DecodeResponse(const std::string& hex) {
  const std::vector<uint8_t> bytes = FromHex(hex);
  auto answers = std::make_shared<std::vector<Answer>>();
  RecordingResult result(answers);
  StderrCapture capture;
  const bool returned = Codec().DecodeResponse(bytes.data(), bytes.size(), &result);
  return {returned, *answers, capture.Lines()};
}

TEST(StandardMethodCodecTest, DecodeResponseSuccess) {
  Decoded decoded = DecodeResponse("00 07 0B 57 69 6E 64 6F 77 73 20 31 30 2B");
  EXPECT_TRUE(decoded.returned);
  ASSERT_EQ(decoded.answers.size(), 1u);
  EXPECT_EQ(decoded.answers[0].kind, Answer::kSuccess);
  ASSERT_TRUE(decoded.answers[0].has_value);
  EXPECT_EQ(decoded.answers[0].value.Get<std::string>(), "Windows 10+");
  EXPECT_THAT(decoded.lines, IsEmpty());

  for (const auto& [hex, lines] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"00 00", {}}, {"00", {kInvalidRead}}, {"", {kInvalidRead, kInvalidRead}}}) {
    SCOPED_TRACE("envelope \"" + hex + "\"");
    decoded = DecodeResponse(hex);
    EXPECT_TRUE(decoded.returned);
    ASSERT_EQ(decoded.answers.size(), 1u);
    EXPECT_EQ(decoded.answers[0].kind, Answer::kSuccess);
    EXPECT_FALSE(decoded.answers[0].has_value);
    EXPECT_EQ(decoded.lines, lines);
  }
}

TEST(StandardMethodCodecTest, DecodeResponseError) {
  const struct {
    const char* hex;
    const char* message;
    bool has_details;
  } rows[] = {{"01 07 02 45 31 00 00", "", false},
              {"01 07 02 45 31 07 03 62 61 64 00", "bad", false},
              {"01 07 02 45 31 00 03 07 00 00 00", "", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.hex);
    const Decoded decoded = DecodeResponse(row.hex);
    EXPECT_TRUE(decoded.returned);
    ASSERT_EQ(decoded.answers.size(), 1u);
    EXPECT_EQ(decoded.answers[0].kind, Answer::kError);
    EXPECT_EQ(decoded.answers[0].code, "E1");
    EXPECT_EQ(decoded.answers[0].message, row.message);
    EXPECT_EQ(decoded.answers[0].has_value, row.has_details);
    EXPECT_THAT(decoded.lines, IsEmpty());
  }
}

TEST(StandardMethodCodecTest, EmptyErrorMessageComesBackEmpty) {
  const auto bytes = Codec().EncodeError("code", "");
  auto answers = std::make_shared<std::vector<Answer>>();
  RecordingResult result(answers);
  ASSERT_TRUE(Codec().DecodeResponse(bytes->data(), bytes->size(), &result));
  ASSERT_EQ(answers->size(), 1u);
  EXPECT_EQ((*answers)[0].message, "");
}

TEST(StandardMethodCodecTest, DecodeResponseUnknownMarkerDeliversNothing) {
  const Decoded decoded = DecodeResponse("02 00");
  EXPECT_FALSE(decoded.returned);
  EXPECT_THAT(decoded.answers, IsEmpty());
  EXPECT_THAT(decoded.lines, IsEmpty());
}

TEST(StandardMethodCodecTest, DecodeResponseWithABadErrorEnvelopeThrows) {
  const struct {
    const char* name;
    const char* hex;
    std::size_t lines;
  } rows[] = {{"int32 code", "01 03 01 00 00 00 00 00", 0},
              {"int32 message", "01 07 01 45 03 01 00 00 00 00", 0},
              {"marker alone", "01", 3}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<uint8_t> bytes = FromHex(row.hex);
    auto answers = std::make_shared<std::vector<Answer>>();
    RecordingResult result(answers);
    StderrCapture capture;
    EXPECT_THROW(Codec().DecodeResponse(bytes.data(), bytes.size(), &result),
                 std::bad_variant_access);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>(row.lines, kInvalidRead));
    EXPECT_THAT(*answers, IsEmpty());
  }
}

}  // namespace
}  // namespace flutter
