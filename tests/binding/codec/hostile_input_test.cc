// Bytes from the other side of a channel that declare far more than they hold, or nest without
// end, are refused at a bounded cost; messages cut short by a few bytes still read as zeros.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/standard_codec_serializer.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using quorlax_test::FromHex;
using quorlax_test::StderrCapture;
using testing::ElementsAre;
using testing::SizeIs;

const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";
const char kTooDeep[] = "Values nested deeper than 128 in StandardCodecSerializer::ReadValueOfType";

std::string SizeLine(const std::string& size) {
  return "Size " + size +
         " runs past the end of the data in StandardCodecSerializer::ReadValueOfType";
}

EncodableValue Decode(const std::vector<uint8_t>& bytes) {
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  return StandardCodecSerializer::Instance().ReadValue(reader);
}

TEST(HostileInputTest, SizesBeyondTheDataAreRefused) {
  const struct {
    const char* name;
    const char* hex;
    const char* size;
  } rows[] = {
      {"string of 4 GiB", "07 FF FF FF FF FF 61", "4294967295"},
      {"type 5 string", "05 FE 00 01", "256"},
      {"byte list", "08 FF 00 00 00 01 01 02", "16777216"},
      {"int32 list", "09 FF FF FF FF FF", "4294967295"},
      {"int64 list", "0A 11 00 00 00 00 00 00", "17"},  // 136 bytes declared, 6 left
      {"double list", "0B FF FF FF FF FF 00 00", "4294967295"},
      {"float list", "0E FE FF FF 00 00", "65535"},
      {"value list", "0C FF FF FF FF FF 00 00", "4294967295"},
      {"map", "0D FF FF FF FF FF 00 00", "4294967295"},
      {"nested in a list", "0C 02 01 07 FF FF FF FF FF", "4294967295"},
      {"nested in a map", "0D 01 07 01 61 0C FE 00 10", "4096"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    EXPECT_THROW(Decode(FromHex(row.hex)), std::length_error);
    EXPECT_THAT(capture.Lines(), ElementsAre(SizeLine(row.size)));
  }
}

TEST(HostileInputTest, ShortfallsUpToTheBoundStillReadAsZeros) {
  StderrCapture capture;
  EXPECT_EQ(Decode(FromHex("07 40 61")).Get<std::string>(), std::string(64, '\0'));
  EXPECT_EQ(Decode(FromHex("0A 08 00 00 00 00 00 00")).Get<std::vector<int64_t>>(),
            std::vector<int64_t>(8));
  EXPECT_THAT(capture.Lines(), ElementsAre(kInvalidRead, kInvalidRead));

  StderrCapture refused;
  EXPECT_THROW(Decode(FromHex("07 41 61")), std::length_error);
  EXPECT_THAT(refused.Lines(), ElementsAre(SizeLine("65")));
}

TEST(HostileInputTest, ContainersMayMissUpTo64ValuesAtTheEnd) {
  {
    StderrCapture capture;
    EXPECT_THAT(Decode(FromHex("0C 40")).Get<ValueList>(), SizeIs(64));
    EXPECT_EQ(capture.Lines(), std::vector<std::string>(64, kInvalidRead));
  }
  {
    StderrCapture capture;  // 32 entries are 64 values; all missing make one null -> null entry
    EXPECT_THAT(Decode(FromHex("0D 20")).Get<ValueMap>(), SizeIs(1));
    EXPECT_THAT(capture.Lines(), SizeIs(64));
  }
  const char* refused[] = {"0C 41", "0D 21", "0C 42 00", "0C 02 0C 7F 00 00"};
  for (const char* hex : refused) {
    SCOPED_TRACE(hex);
    StderrCapture capture;
    EXPECT_THROW(Decode(FromHex(hex)), std::length_error);
    EXPECT_THAT(capture.Lines(), SizeIs(1));
  }
  // The check is made as the data runs out, not only up front: the inner list eats the data
  // that the outer one counted on.
  std::vector<uint8_t> bytes = FromHex("0C 46 0C 45");
  bytes.resize(bytes.size() + 69, 0);
  StderrCapture capture;
  EXPECT_THROW(Decode(bytes), std::length_error);
  EXPECT_THAT(capture.Lines(), ElementsAre(SizeLine("70")));
}

// Lists and maps alternately, `depth` containers deep, around a null.
std::vector<uint8_t> Nested(std::size_t depth) {
  std::vector<uint8_t> bytes;
  for (std::size_t level = 0; level < depth; ++level) {
    if (level % 2 == 0) {
      bytes.insert(bytes.end(), {0x0C, 0x01});
    } else {
      bytes.insert(bytes.end(), {0x0D, 0x01, 0x00});
    }
  }
  bytes.push_back(0x00);
  return bytes;
}

TEST(HostileInputTest, NestingDeeperThan128IsRefused) {
  for (const std::size_t depth : {std::size_t{129}, std::size_t{1000000}}) {
    SCOPED_TRACE(depth);
    StderrCapture capture;
    EXPECT_THROW(Decode(Nested(depth)), std::length_error);
    EXPECT_THAT(capture.Lines(), ElementsAre(kTooDeep));
  }
  // A refusal leaves nothing behind for the next decode on this thread.
  EXPECT_EQ(Decode(Nested(128)).Index(), EncodableValue::kList);
}

TEST(HostileInputTest, TheDeepestValueFitsIn256KiBOfStack) {
  quorlax_test::RunOnStackOf(256 * 1024, [] {
    const std::vector<uint8_t> bytes = Nested(128);
    EncodableValue value = Decode(bytes);
    EncodableValue copy = value;
    EXPECT_TRUE(quorlax_test::Equivalent(value, copy));
    EXPECT_FALSE(value < copy);
    std::vector<uint8_t> encoded;
    ByteBufferStreamWriter writer(&encoded);
    StandardCodecSerializer::Instance().WriteValue(copy, writer);
    EXPECT_EQ(encoded, bytes);
  });
}

}  // namespace
}  // namespace flutter
