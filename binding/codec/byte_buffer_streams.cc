#include "binding/codec/byte_buffer_streams.h"

#include <cstring>

#include "binding/diagnostic.h"

namespace flutter {
namespace {

void WriteInvalidReadLine() { WriteDiagnosticLine("Invalid read in StandardCodecByteStreamReader"); }

}  // namespace

uint8_t ByteBufferStreamReader::ReadByte() {
  if (position_ >= size_) {
    WriteInvalidReadLine();
    return 0;
  }
  return buffer_[position_++];
}

void ByteBufferStreamReader::ReadBytes(uint8_t* destination, std::size_t count) {
  // Written so that no sum can overflow, whatever count and position are.
  if (position_ > size_ || count > size_ - position_) {
    WriteInvalidReadLine();
    return;
  }
  if (count != 0) std::memcpy(destination, buffer_ + position_, count);
  position_ += count;
}

void ByteBufferStreamReader::SkipToAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const std::size_t remainder = position_ % alignment;
  if (remainder != 0) position_ += alignment - remainder;
}

void ByteBufferStreamWriter::WriteByte(uint8_t byte) { vector_->push_back(byte); }

void ByteBufferStreamWriter::WriteBytes(const uint8_t* source, std::size_t count) {
  if (count != 0) vector_->insert(vector_->end(), source, source + count);
}

void ByteBufferStreamWriter::PadToAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const std::size_t remainder = vector_->size() % alignment;
  if (remainder == 0) return;
  for (std::size_t i = remainder; i < alignment; ++i) WriteByte(0);
}

}  // namespace flutter
