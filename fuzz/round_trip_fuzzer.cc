// Any bytes read as one value, written, read again and written again: the two writings must be
// the same bytes.
//
// The input itself is not compared with the first writing, since reading forgets how the input
// said things: type 5 reads as a string and is written as type 7; sizes come out in their
// shortest form; type bytes from 15 up read as null, and whatever followed them is read as more
// values; a truncated string or list is written out at its declared length, in zeros; map entries
// come out in key order, later equivalent keys dropped; bytes after the value are left unread.
// Custom values never come out of reading at all. The first writing is free of all that, so
// reading it must give back a value that writes the same bytes, and reading it must consume it
// to the last byte, without a refusal, since it is well formed and no deeper than the input.
//
// Except after an empty numeric list that ends off its element boundary. The writer never pads
// an empty numeric list; the reader skips to the boundary after the size whatever the count. So
// [true, empty int32 list, 1] is written 0C 03 01 09 00 03 01 00 00 00, and reading that skips
// from offset 5 to 8 and takes the 00 there for the third value: [true, empty int32 list, null].
// This is how the encoding is defined, shared with the other side of every channel, so such a
// value does not survive any round trip, not only this one. From that point on the second writing
// may differ, and reading the first may even be refused; the bytes before it must still match,
// up to the outermost map around it (see SkipNotingSerializer).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/byte_streams.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/standard_codec_serializer.h"
#include "fuzz/fuzz_support.h"

namespace {

using flutter::EncodableValue;

// The element width of an empty numeric list; 0 for every other value.
std::size_t EmptyListWidth(const EncodableValue& value) {
  switch (value.Index()) {
    case EncodableValue::kInt32List:
      return value.GetIf<std::vector<int32_t>>()->empty() ? 4 : 0;
    case EncodableValue::kFloatList:
      return value.GetIf<std::vector<float>>()->empty() ? 4 : 0;
    case EncodableValue::kInt64List:
      return value.GetIf<std::vector<int64_t>>()->empty() ? 8 : 0;
    case EncodableValue::kDoubleList:
      return value.GetIf<std::vector<double>>()->empty() ? 8 : 0;
    default:
      return 0;
  }
}

// Writes as the standard serializer does, every nested value through it, and notes the offset
// just after the first empty numeric list that ends off its element boundary: the point where
// reading the bytes back goes astray. Astray, a map may read a later key as equivalent to an
// earlier one and keep fewer entries, which changes its size field; the bytes before the
// outermost map around that point, and its type byte, read back the same whatever follows.
class SkipNotingSerializer : public flutter::StandardCodecSerializer {
 public:
  // `output` is the vector that the writer given to WriteValue appends to.
  explicit SkipNotingSerializer(const std::vector<uint8_t>& output) : output_(output) {}

  void WriteValue(const EncodableValue& value, flutter::ByteStreamWriter& stream) const override {
    const std::size_t start = output_.size();
    const bool skipped_before = first_skip_ != SIZE_MAX;
    StandardCodecSerializer::WriteValue(value, stream);
    const std::size_t width = EmptyListWidth(value);
    if (width != 0 && output_.size() % width != 0 && !skipped_before) {
      first_skip_ = output_.size();
      same_up_to_ = first_skip_;
    }
    if (value.Index() == EncodableValue::kMap && !skipped_before && first_skip_ != SIZE_MAX) {
      same_up_to_ = start + 1;
    }
  }

  // SIZE_MAX when there is none.
  std::size_t first_skip() const { return first_skip_; }
  // How many leading bytes a second writing must share with this one; SIZE_MAX: all of them.
  std::size_t same_up_to() const { return same_up_to_; }

 private:
  const std::vector<uint8_t>& output_;
  mutable std::size_t first_skip_ = SIZE_MAX;
  mutable std::size_t same_up_to_ = SIZE_MAX;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const flutter::StandardCodecSerializer& serializer = flutter::StandardCodecSerializer::Instance();
  const quorlax_fuzz::OddCopy input(data, size);
  flutter::ByteBufferStreamReader reader(input.data(), input.size());
  EncodableValue value;
  try {
    value = serializer.ReadValue(reader);
  } catch (const std::length_error&) {
    return 0;
  }

  std::vector<uint8_t> first;
  const SkipNotingSerializer noting(first);
  flutter::ByteBufferStreamWriter writer(&first);
  noting.WriteValue(value, writer);

  const quorlax_fuzz::OddCopy copy(first);
  flutter::ByteBufferStreamReader again(copy.data(), copy.size());
  // A skip past the last byte reads nothing that was written.
  if (noting.first_skip() >= first.size()) {
    const EncodableValue read_back = serializer.ReadValue(again);
    QUORLAX_FUZZ_REQUIRE(again.RemainingBytes() == 0);
    QUORLAX_FUZZ_REQUIRE(quorlax_fuzz::Encode(read_back) == first);
    return 0;
  }
  try {
    const std::vector<uint8_t> second = quorlax_fuzz::Encode(serializer.ReadValue(again));
    const std::size_t same = noting.same_up_to();
    QUORLAX_FUZZ_REQUIRE(second.size() >= same &&
                         std::equal(first.begin(),
                                    first.begin() + static_cast<std::ptrdiff_t>(same),
                                    second.begin()));
  } catch (const std::length_error&) {
  }
  return 0;
}
