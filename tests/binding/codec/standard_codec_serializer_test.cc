#include "binding/codec/standard_codec_serializer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "binding/codec/byte_buffer_streams.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using quorlax_test::FromHex;
using quorlax_test::IsEquivalentTo;
using quorlax_test::StderrCapture;
using quorlax_test::ToHex;
using testing::ElementsAre;
using testing::IsEmpty;

const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";
const char kCustomLine[] =
    "Unhandled custom type in StandardCodecSerializer::WriteValue. "
    "Custom types require codec extensions.";

std::vector<uint8_t> Encode(const EncodableValue& value) {
  std::vector<uint8_t> bytes;
  ByteBufferStreamWriter writer(&bytes);
  StandardCodecSerializer::Instance().WriteValue(value, writer);
  return bytes;
}

EncodableValue Decode(const std::vector<uint8_t>& bytes) {
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  return StandardCodecSerializer::Instance().ReadValue(reader);
}

struct GoldenRow {
  // How the bytes read back on their own.
  enum ReadBack {
    kSame,
    // An empty numeric list as a whole message: the reader's skip to the element boundary passes
    // the end of the data, so the read of zero elements writes the reader's line once.
    kSameWithReadLine,
    // The writer pads no empty numeric list, the reader always skips: see ReadingCases.
    kDifferent,
  };
  const char* name;
  EncodableValue value;
  const char* hex;
  ReadBack read_back = kSame;
};

// Each value written at offset 0 of an empty buffer. The first row is the control.
std::vector<GoldenRow> GoldenRows() {
  return {
      {"int32 7 (control)", EncodableValue(7), "03 07 00 00 00"},
      {"null", EncodableValue(), "00"},
      {"true", EncodableValue(true), "01"},
      {"false", EncodableValue(false), "02"},
      {"int32 -2", EncodableValue(-2), "03 FE FF FF FF"},
      {"int64 7", EncodableValue(int64_t{7}), "04 07 00 00 00 00 00 00 00"},
      {"int64 2^32", EncodableValue(int64_t{4294967296}), "04 00 00 00 00 01 00 00 00"},
      {"double 1.5", EncodableValue(1.5), "06 00 00 00 00 00 00 00 00 00 00 00 00 00 F8 3F"},
      {"string getPlatformVersion", EncodableValue("getPlatformVersion"),
       "07 12 67 65 74 50 6C 61 74 66 6F 72 6D 56 65 72 73 69 6F 6E"},
      {"empty string", EncodableValue(""), "07 00"},
      {"string with NUL", EncodableValue(std::string("a\0b", 3)), "07 03 61 00 62"},
      {"bytes", EncodableValue(std::vector<uint8_t>{1, 0xFF}), "08 02 01 FF"},
      {"empty bytes", EncodableValue(std::vector<uint8_t>{}), "08 00"},
      {"list of int32 1 and \"a\"", EncodableValue(ValueList{1, "a"}),
       "0C 02 03 01 00 00 00 07 01 61"},
      {"map \"a\" -> 1", EncodableValue(ValueMap{{"a", 1}}), "0D 01 07 01 61 03 01 00 00 00"},
      {"map keys ascending",
       EncodableValue(ValueMap{{"b", EncodableValue()}, {"a", EncodableValue()}}),
       "0D 02 07 01 61 00 07 01 62 00"},
      {"map int32 key first",
       EncodableValue(ValueMap{{"a", EncodableValue()}, {2, EncodableValue()}}),
       "0D 02 03 02 00 00 00 00 07 01 61 00"},
      {"list holding double 1.5", EncodableValue(ValueList{1.5}),
       "0C 01 06 00 00 00 00 00 00 00 00 00 00 00 F8 3F"},
      {"int32 list 1, 2", EncodableValue(std::vector<int32_t>{1, 2}),
       "09 02 00 00 01 00 00 00 02 00 00 00"},
      {"empty int32 list", EncodableValue(std::vector<int32_t>{}), "09 00",
       GoldenRow::kSameWithReadLine},
      {"int64 list -1", EncodableValue(std::vector<int64_t>{-1}),
       "0A 01 00 00 00 00 00 00 FF FF FF FF FF FF FF FF"},
      {"double list 1.5", EncodableValue(std::vector<double>{1.5}),
       "0B 01 00 00 00 00 00 00 00 00 00 00 00 00 F8 3F"},
      {"float list 1.0", EncodableValue(std::vector<float>{1.0f}), "0E 01 00 00 00 00 80 3F"},
      {"empty float list", EncodableValue(std::vector<float>{}), "0E 00",
       GoldenRow::kSameWithReadLine},
      {"list of true, empty int32 list, 1",
       EncodableValue(ValueList{true, std::vector<int32_t>{}, 1}), "0C 03 01 09 00 03 01 00 00 00",
       GoldenRow::kDifferent},
  };
}

TEST(StandardCodecSerializerTest, WritesGoldenBytes) {
  for (const GoldenRow& row : GoldenRows()) {
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    EXPECT_EQ(ToHex(Encode(row.value)), row.hex);
    EXPECT_THAT(capture.Lines(), IsEmpty());
  }
}

TEST(StandardCodecSerializerTest, ReadsGoldenBytesBack) {
  for (const GoldenRow& row : GoldenRows()) {
    if (row.read_back == GoldenRow::kDifferent) continue;
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    EXPECT_THAT(Decode(FromHex(row.hex)), IsEquivalentTo(row.value));
    EXPECT_EQ(capture.Lines().size(), row.read_back == GoldenRow::kSameWithReadLine ? 1u : 0u);
  }
}

TEST(StandardCodecSerializerTest, CustomValueIsWrittenAsNullWithALine) {
  StderrCapture capture;
  EXPECT_EQ(ToHex(Encode(EncodableValue(ValueList{CustomValue(1), 2}))), "0C 02 00 03 02 00 00 00");
  EXPECT_THAT(capture.Lines(), ElementsAre(kCustomLine));
}

TEST(StandardCodecSerializerTest, SizeEncoding) {
  const struct {
    uint64_t size;
    const char* hex;
  } rows[] = {{0, "00"},
              {253, "FD"},
              {254, "FE FE 00"},
              {300, "FE 2C 01"},
              {65535, "FE FF FF"},
              {65536, "FF 00 00 01 00"},
              {70000, "FF 70 11 01 00"},
              {4294967295u, "FF FF FF FF FF"}};
  const StandardCodecSerializer& serializer = StandardCodecSerializer::Instance();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.size);
    std::vector<uint8_t> bytes;
    ByteBufferStreamWriter writer(&bytes);
    serializer.WriteSize(row.size, writer);
    EXPECT_EQ(ToHex(bytes), row.hex);
    ByteBufferStreamReader reader(bytes.data(), bytes.size());
    EXPECT_EQ(serializer.ReadSize(reader), row.size);
  }
}

TEST(StandardCodecSerializerTest, ReadSizeAcceptsLongerFormsForSmallSizes) {
  const std::vector<uint8_t> bytes = FromHex("FE 05 00 FF 05 00 00 00");
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  EXPECT_EQ(StandardCodecSerializer::Instance().ReadSize(reader), 5u);
  EXPECT_EQ(StandardCodecSerializer::Instance().ReadSize(reader), 5u);
}

TEST(StandardCodecSerializerTest, WriteSizeRefusesSizesBeyond32Bits) {
  std::vector<uint8_t> bytes;
  ByteBufferStreamWriter writer(&bytes);
  EXPECT_THROW(StandardCodecSerializer::Instance().WriteSize(4294967296u, writer),
               std::length_error);
  EXPECT_THAT(bytes, IsEmpty());
}

struct ReadRow {
  const char* name;
  const char* hex;
  EncodableValue expected;
  std::vector<std::string> lines;
};

TEST(StandardCodecSerializerTest, ReadingCases) {
  const std::string unknown = "Unknown type in StandardCodecSerializer::ReadValueOfType: ";
  const ReadRow rows[] = {
      {"type 5 reads as a string", "05 01 61", EncodableValue("a"), {}},
      {"type 15 is unknown", "0F", EncodableValue(), {unknown + "15"}},
      {"type 255 is unknown", "FF 03", EncodableValue(), {unknown + "255"}},
      {"first of two equivalent keys wins",
       "0D 02 07 01 61 03 01 00 00 00 07 01 61 03 02 00 00 00",
       EncodableValue(ValueMap{{"a", 1}}),
       {}},
      {"int32 1 and int64 1 are two keys",
       "0D 02 03 01 00 00 00 00 04 01 00 00 00 00 00 00 00 00",
       EncodableValue(ValueMap{{1, EncodableValue()}, {int64_t{1}, EncodableValue()}}),
       {}},
      {"empty int32 list skips past the end",
       "09 00",
       EncodableValue(std::vector<int32_t>{}),
       {kInvalidRead}},
      {"int32 cut short", "03 01 00", EncodableValue(0), {kInvalidRead}},
      {"double cut short", "06 00 00 00 00 00 00 00 00 00 F8", EncodableValue(0.0), {kInvalidRead}},
      {"list runs out",
       "0C 03 01",
       EncodableValue(ValueList{true, EncodableValue(), EncodableValue()}),
       {kInvalidRead, kInvalidRead}},
      {"string runs out", "07 05 61 62", EncodableValue(std::string(5, '\0')), {kInvalidRead}},
      {"byte list runs out", "08 03 01", EncodableValue(std::vector<uint8_t>(3)), {kInvalidRead}},
      {"double list runs out",
       "0B 02 00 00 00 00 00 00 00 00 00 00 F8 3F",
       EncodableValue(std::vector<double>(2)),
       {kInvalidRead}},
      {"missing size", "07", EncodableValue(""), {kInvalidRead}},
      {"missing size extension", "07 FE 01", EncodableValue(""), {kInvalidRead}},
      {"map runs out",
       "0D 03 00",
       EncodableValue(ValueMap{{EncodableValue(), EncodableValue()}}),
       {kInvalidRead, kInvalidRead, kInvalidRead, kInvalidRead, kInvalidRead}},
      {"empty message", "", EncodableValue(), {kInvalidRead}},
      {"writer and reader differ on empty lists",
       "0C 03 01 09 00 03 01 00 00 00",
       EncodableValue(ValueList{true, std::vector<int32_t>{}, EncodableValue()}),
       {}},
  };
  for (const ReadRow& row : rows) {
    SCOPED_TRACE(row.name);
    StderrCapture capture;
    EXPECT_THAT(Decode(FromHex(row.hex)), IsEquivalentTo(row.expected));
    EXPECT_EQ(capture.Lines(), row.lines);
  }
}

// After a failed read the position stays, so the next value starts where the failed one did.
TEST(StandardCodecSerializerTest, ReadingGoesOnAfterAnUnknownTypeAndAShortRead) {
  const std::vector<uint8_t> bytes = FromHex("0F 03 01 00 00 00 07 09 01");
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  const StandardCodecSerializer& serializer = StandardCodecSerializer::Instance();
  StderrCapture capture;
  EXPECT_TRUE(serializer.ReadValue(reader).IsNull());
  EXPECT_EQ(serializer.ReadValue(reader).Get<int32_t>(), 1);
  EXPECT_EQ(serializer.ReadValue(reader).Get<std::string>(), std::string(9, '\0'));
  EXPECT_EQ(serializer.ReadValue(reader).Get<bool>(), true);  // the byte 01 after the size
  EXPECT_EQ(capture.Lines(),
            (std::vector<std::string>{
                "Unknown type in StandardCodecSerializer::ReadValueOfType: 15", kInvalidRead}));
}

// Nested values go through the virtual slots, so a derived serializer can take over custom values.
class PointSerializer : public StandardCodecSerializer {
 public:
  struct Point {
    int32_t x;
  };
  static constexpr uint8_t kPointType = 128;

  void WriteValue(const EncodableValue& value, ByteStreamWriter& stream) const override {
    if (const auto* custom = value.GetIf<CustomValue>()) {
      if (const Point* point = custom->As<Point>()) {
        stream.WriteByte(kPointType);
        StandardCodecSerializer::WriteValue(EncodableValue(point->x), stream);
        return;
      }
    }
    StandardCodecSerializer::WriteValue(value, stream);
  }
  EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader& stream) const override {
    if (type == kPointType) {
      return EncodableValue(CustomValue(Point{ReadValue(stream).Get<int32_t>()}));
    }
    return StandardCodecSerializer::ReadValueOfType(type, stream);
  }
};

TEST(StandardCodecSerializerTest, DerivedSerializerHandlesNestedCustomValues) {
  const PointSerializer serializer;
  std::vector<uint8_t> bytes;
  ByteBufferStreamWriter writer(&bytes);
  serializer.WriteValue(EncodableValue(ValueMap{{"p", CustomValue(PointSerializer::Point{5})}}),
                        writer);
  EXPECT_EQ(ToHex(bytes), "0D 01 07 01 70 80 03 05 00 00 00");
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  const EncodableValue value = serializer.ReadValue(reader);
  const auto& point = *value.Get<ValueMap>()
                           .at(EncodableValue("p"))
                           .Get<CustomValue>()
                           .As<PointSerializer::Point>();
  EXPECT_EQ(point.x, 5);
}

TEST(StandardCodecSerializerTest, LongStringsAndListsUseLongerSizes) {
  const std::string text(300, 'x');
  const std::vector<uint8_t> bytes = Encode(EncodableValue(text));
  EXPECT_EQ(ToHex(bytes.data(), 4), "07 FE 2C 01");
  EXPECT_EQ(bytes.size(), 304u);
  EXPECT_EQ(Decode(bytes).Get<std::string>(), text);

  const std::vector<int64_t> numbers(70000, -3);
  const std::vector<uint8_t> encoded = Encode(EncodableValue(numbers));
  EXPECT_EQ(ToHex(encoded.data(), 8), "0A FF 70 11 01 00 00 00");
  EXPECT_EQ(Decode(encoded).Get<std::vector<int64_t>>(), numbers);
}

}  // namespace
}  // namespace flutter
