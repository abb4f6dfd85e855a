#include "binding/codec/byte_buffer_streams.h"

#include <cstring>

#include "binding/diagnostic.h"

namespace flutter {
namespace {

void WriteInvalidReadLine() {
  WriteDiagnosticLine("Invalid read in StandardCodecByteStreamReader");
}

// `offset` modulo `alignment`, which is not 0. The encoding aligns only to powers of two, which a
// mask serves; a division would cost more than the rest of a small write.
std::size_t Misalignment(std::size_t offset, uint8_t alignment) {
  const std::size_t modulus = alignment;
  if ((modulus & (modulus - 1)) == 0) return offset & (modulus - 1);
  return offset % modulus;
}

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
  const uint8_t* source = buffer_ + position_;
  position_ += count;
  // Last, so that the copy is the call's tail.
  if (count != 0) std::memcpy(destination, source, count);
}

void ByteBufferStreamReader::SkipToAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const std::size_t remainder = Misalignment(position_, alignment);
  if (remainder != 0) position_ += alignment - remainder;
}

void ByteBufferStreamWriter::WriteByte(uint8_t byte) { vector_->push_back(byte); }

void ByteBufferStreamWriter::WriteBytes(const uint8_t* source, std::size_t count) {
  if (count != 0) vector_->insert(vector_->end(), source, source + count);
}

void ByteBufferStreamWriter::PadToAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const std::size_t remainder = Misalignment(vector_->size(), alignment);
  if (remainder == 0) return;
  for (std::size_t i = remainder; i < alignment; ++i) WriteByte(0);
}

}  // namespace flutter
