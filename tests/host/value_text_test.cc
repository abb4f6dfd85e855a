// The host's value text: what FormatValue writes, and ParseValue reads back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "host/value_format.h"
#include "host/value_parse.h"
#include "tests/support/test_support.h"

namespace quorlax_host {
namespace {

using flutter::EncodableValue;
using flutter::ValueList;
using flutter::ValueMap;

TEST(ValueTextTest, FormatsAndReadsBack) {
  const struct {
    EncodableValue value;
    const char* text;
  } rows[] = {
      {EncodableValue(), "null"},
      {EncodableValue(true), "true"},
      {EncodableValue(-7), "-7"},
      {EncodableValue(int64_t{7}), "7L"},
      {EncodableValue(int64_t{5000000000}), "5000000000L"},
      {EncodableValue(1.5), "1.5"},
      {EncodableValue(0.1), "0.1"},
      {EncodableValue("a\"b\\\n\x01"), "\"a\\\"b\\\\\\n\\x01\""},
      {EncodableValue(ValueList{1, "a", ValueList{}}), "[1, \"a\", []]"},
      {EncodableValue(ValueMap{{"k", ValueMap{{2, false}}}}), "{\"k\": {2: false}}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(FormatValue(row.value), row.text);
    std::string error;
    const auto parsed = ParseValue(row.text, &error);
    ASSERT_TRUE(parsed.has_value()) << error;
    EXPECT_THAT(*parsed, quorlax_test::IsEquivalentTo(row.value));
  }
}

TEST(ValueTextTest, FormatsTheOtherAlternatives) {
  EXPECT_EQ(FormatValue(EncodableValue(std::vector<uint8_t>{1, 0xFF})), "bytes[01 ff]");
  EXPECT_EQ(FormatValue(EncodableValue(std::vector<int32_t>{1, -2})), "int32[1, -2]");
  EXPECT_EQ(FormatValue(EncodableValue(std::vector<int64_t>{3})), "int64[3]");
  EXPECT_EQ(FormatValue(EncodableValue(std::vector<double>{0.5})), "float64[0.5]");
  EXPECT_EQ(FormatValue(EncodableValue(std::vector<float>{1.0f})), "float32[1]");
  EXPECT_EQ(FormatValue(EncodableValue(flutter::CustomValue(1))), "custom");
}

TEST(ValueTextTest, BadTextSaysWhere) {
  const struct {
    const char* text;
    const char* error;
  } rows[] = {
      {"", "a value is missing at offset 0"},
      {"[1,", "a value is missing at offset 3"},
      {"[1 2]", "expected , or ] at offset 3"},
      {"{1 2}", "expected : at offset 3"},
      {"\"open", "a string is not closed at offset 5"},
      {"99999999999999999999", "an integer out of range at offset 20"},
      {"nul", "not a value at offset 0"},
      {"1 1", "unexpected text at offset 2"},
      {"\"\\q\"", "unknown escape at offset 3"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    std::string error;
    EXPECT_FALSE(ParseValue(row.text, &error).has_value());
    EXPECT_EQ(error, row.error);
  }
  std::string deep(100, '[');
  std::string error;
  EXPECT_FALSE(ParseValue(deep, &error).has_value());
  EXPECT_EQ(error, "nested too deep at offset 65");
}

}  // namespace
}  // namespace quorlax_host
