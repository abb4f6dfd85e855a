#include "binding/codec/byte_buffer_streams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace flutter {
namespace {

using quorlax_test::StderrCapture;
using testing::ElementsAre;
using testing::IsEmpty;

const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";

TEST(ByteBufferStreamReaderTest, ReadsInOrder) {
  const std::vector<uint8_t> buffer = {1, 2, 3, 4, 5};
  ByteBufferStreamReader reader(buffer.data(), buffer.size());
  StderrCapture capture;
  EXPECT_EQ(reader.ReadByte(), 1);
  uint8_t bytes[3] = {};
  reader.ReadBytes(bytes, 3);
  EXPECT_THAT(bytes, ElementsAre(2, 3, 4));
  EXPECT_EQ(reader.ReadByte(), 5);
  EXPECT_THAT(capture.Lines(), IsEmpty());
}

TEST(ByteBufferStreamReaderTest, EmptyBufferReadsZeroWithALinePerRead) {
  ByteBufferStreamReader reader(nullptr, 0);
  StderrCapture capture;
  EXPECT_EQ(reader.ReadByte(), 0);
  EXPECT_EQ(reader.ReadByte(), 0);
  reader.ReadBytes(nullptr, 0);  // at the end, a count of 0 still succeeds
  EXPECT_THAT(capture.Lines(), ElementsAre(kInvalidRead, kInvalidRead));
}

TEST(ByteBufferStreamReaderTest, FailedReadBytesCopiesNothingAndDoesNotMove) {
  const std::vector<uint8_t> buffer = {7, 8, 9};
  ByteBufferStreamReader reader(buffer.data(), buffer.size());
  uint8_t bytes[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  StderrCapture capture;
  reader.ReadBytes(bytes, 4);
  EXPECT_THAT(capture.Lines(), ElementsAre(kInvalidRead));
  EXPECT_THAT(bytes, ElementsAre(0xAA, 0xAA, 0xAA, 0xAA));
  StderrCapture second;
  reader.ReadBytes(bytes, 3);
  EXPECT_THAT(bytes, ElementsAre(7, 8, 9, 0xAA));
  reader.ReadBytes(bytes, 0);
  EXPECT_THAT(second.Lines(), IsEmpty());
}

TEST(ByteBufferStreamReaderTest, HugeCountFailsWithoutOverflow) {
  const std::vector<uint8_t> buffer = {1, 2};
  ByteBufferStreamReader reader(buffer.data(), buffer.size());
  reader.ReadByte();
  uint8_t byte = 0;
  StderrCapture capture;
  reader.ReadBytes(&byte, SIZE_MAX);
  EXPECT_THAT(capture.Lines(), ElementsAre(kInvalidRead));
  EXPECT_EQ(reader.ReadByte(), 2);
}

// Reads the position through ReadByte over a buffer whose bytes are their own offsets.
TEST(ByteBufferStreamReaderTest, SkipToAlignment) {
  std::vector<uint8_t> buffer(32);
  for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i);
  const struct {
    std::size_t start;
    uint8_t alignment;
    uint8_t next;
  } rows[] = {{5, 8, 8}, {8, 8, 8}, {0, 8, 0}, {5, 1, 5}, {5, 4, 8}, {9, 4, 12}, {3, 16, 16}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.start) + " aligned to " + std::to_string(row.alignment));
    ByteBufferStreamReader reader(buffer.data(), buffer.size());
    for (std::size_t i = 0; i < row.start; ++i) reader.ReadByte();
    reader.SkipToAlignment(row.alignment);
    EXPECT_EQ(reader.ReadByte(), row.next);
  }
}

TEST(ByteBufferStreamReaderTest, SkipPastTheEndIsSilentAndTheNextReadFails) {
  const std::vector<uint8_t> buffer = {1, 2, 3, 4, 5};
  ByteBufferStreamReader reader(buffer.data(), buffer.size());
  uint8_t bytes[5];
  reader.ReadBytes(bytes, 5);
  StderrCapture capture;
  reader.SkipToAlignment(8);
  EXPECT_THAT(capture.Lines(), IsEmpty());
  StderrCapture after;
  EXPECT_EQ(reader.ReadByte(), 0);
  reader.ReadBytes(bytes, 0);  // past the end, even a count of 0 fails
  EXPECT_THAT(after.Lines(), ElementsAre(kInvalidRead, kInvalidRead));
}

TEST(ByteBufferStreamWriterTest, AppendsAndPads) {
  std::vector<uint8_t> vector;
  ByteBufferStreamWriter writer(&vector);
  writer.WriteByte(7);
  writer.PadToAlignment(4);
  EXPECT_EQ(quorlax_test::ToHex(vector), "07 00 00 00");
  writer.PadToAlignment(4);
  const uint8_t bytes[] = {1, 2};
  writer.WriteBytes(bytes, 0);
  EXPECT_EQ(quorlax_test::ToHex(vector), "07 00 00 00");
  writer.WriteBytes(bytes, 2);
  EXPECT_EQ(quorlax_test::ToHex(vector), "07 00 00 00 01 02");
}

TEST(ByteBufferStreamWriterTest, PaddingCountsBytesAlreadyInTheVector) {
  std::vector<uint8_t> vector = {0xAB, 0xCD};
  ByteBufferStreamWriter writer(&vector);
  writer.PadToAlignment(8);
  EXPECT_EQ(quorlax_test::ToHex(vector), "AB CD 00 00 00 00 00 00");
}

TEST(ByteBufferStreamWriterTest, PaddingGoesThroughWriteByte) {
  class CountingWriter : public ByteBufferStreamWriter {
   public:
    using ByteBufferStreamWriter::ByteBufferStreamWriter;
    void WriteByte(uint8_t byte) override {
      ++bytes_written;
      ByteBufferStreamWriter::WriteByte(byte);
    }
    int bytes_written = 0;
  };
  std::vector<uint8_t> vector = {1};
  CountingWriter writer(&vector);
  writer.PadToAlignment(8);
  EXPECT_EQ(writer.bytes_written, 7);
}

TEST(ByteStreamsTest, DestroyingAStreamLeavesItsBufferAlone) {
  const std::vector<uint8_t> buffer = {1, 2, 3};
  std::vector<uint8_t> vector = {9};
  {
    ByteBufferStreamReader reader(buffer.data(), buffer.size());
    reader.ReadByte();
    ByteBufferStreamWriter writer(&vector);
    writer.WriteByte(8);
  }
  EXPECT_THAT(buffer, ElementsAre(1, 2, 3));
  EXPECT_THAT(vector, ElementsAre(9, 8));
}

}  // namespace
}  // namespace flutter
