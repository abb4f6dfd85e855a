// Any bytes read as one value, by StandardCodecSerializer::ReadValue over a ByteBufferStreamReader.
//
// Reading must return a value or refuse with std::length_error, read nothing outside the bytes,
// and keep to the type table: the type byte decides the alternative, and a string or list has the
// length its size field declares, however little of it the bytes hold.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/standard_codec_serializer.h"
#include "fuzz/fuzz_support.h"

namespace {

using flutter::EncodableValue;

// The alternative that a type byte reads as; 0 to 255.
std::size_t AlternativeOf(uint8_t type) {
  static constexpr std::size_t kAlternatives[] = {
      EncodableValue::kNull,      EncodableValue::kBool,      EncodableValue::kBool,
      EncodableValue::kInt32,     EncodableValue::kInt64,     EncodableValue::kString,
      EncodableValue::kDouble,    EncodableValue::kString,    EncodableValue::kUint8List,
      EncodableValue::kInt32List, EncodableValue::kInt64List, EncodableValue::kDoubleList,
      EncodableValue::kList,      EncodableValue::kMap,       EncodableValue::kFloatList,
  };
  return type < sizeof(kAlternatives) / sizeof(kAlternatives[0]) ? kAlternatives[type]
                                                                 : EncodableValue::kNull;
}

// The number of bytes, elements, values or entries that a sized alternative holds; 0 for the rest.
struct LengthOf {
  std::size_t operator()(const std::string& text) const { return text.size(); }
  template <typename T>
  std::size_t operator()(const std::vector<T>& list) const {
    return list.size();
  }
  std::size_t operator()(const flutter::ValueMap& map) const { return map.size(); }
  template <typename T>
  std::size_t operator()(const T&) const {
    return 0;
  }
};

std::size_t Length(const EncodableValue& value) { return value.Visit(LengthOf{}); }

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
  QUORLAX_FUZZ_REQUIRE(reader.RemainingBytes() <= size);

  // A missing type byte reads as 0, null.
  const uint8_t type = size == 0 ? 0 : data[0];
  QUORLAX_FUZZ_REQUIRE(value.Index() == AlternativeOf(type));
  if (type == 1 || type == 2) QUORLAX_FUZZ_REQUIRE(value.Get<bool>() == (type == 1));

  const bool sized = (type >= 5 && type <= 14 && type != 6);
  if (!sized) return 0;
  // The size field as declared; a size cut short reads as its missing bytes being zero.
  flutter::ByteBufferStreamReader size_reader(input.data() + 1, input.size() - 1);
  const uint32_t declared = serializer.ReadSize(size_reader);
  if (type == 13) {
    // Entries whose keys are equivalent to an earlier key are dropped.
    QUORLAX_FUZZ_REQUIRE(Length(value) <= declared);
    QUORLAX_FUZZ_REQUIRE(declared == 0 || Length(value) >= 1);
  } else {
    QUORLAX_FUZZ_REQUIRE(Length(value) == declared);
  }
  return 0;
}
