#include "binding/codec/byte_buffer_streams.h"

#include <algorithm>
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

// Runs shorter than this (sizes, numbers, most strings) are appended byte by byte: for them the
// vector's general range insertion and its copy call cost twice as much.
constexpr std::size_t kShortRun = 16;

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
  std::vector<uint8_t>& vector = *vector_;
  if (count < kShortRun) {
    // Room first, growing as the vector itself would, so that a failure appends nothing.
    if (count > vector.capacity() - vector.size()) {
      const std::size_t doubled = std::min(2 * vector.capacity(), vector.max_size());
      vector.reserve(std::max(doubled, vector.size() + count));
    }
    for (std::size_t i = 0; i < count; ++i) vector.push_back(source[i]);
    return;
  }
  vector.insert(vector.end(), source, source + count);
}

void ByteBufferStreamWriter::PadToAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const std::size_t remainder = Misalignment(vector_->size(), alignment);
  if (remainder == 0) return;
  for (std::size_t i = remainder; i < alignment; ++i) WriteByte(0);
}

}  // namespace flutter
