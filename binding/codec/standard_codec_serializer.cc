#include "binding/codec/standard_codec_serializer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "binding/diagnostic.h"

namespace flutter {
namespace {

// Type bytes of the standard encoding.
enum TypeByte : uint8_t {
  kTypeNull = 0,
  kTypeTrue = 1,
  kTypeFalse = 2,
  kTypeInt32 = 3,
  kTypeInt64 = 4,
  kTypeLargeInt = 5,  // read as a string; never written
  kTypeDouble = 6,
  kTypeString = 7,
  kTypeUint8List = 8,
  kTypeInt32List = 9,
  kTypeInt64List = 10,
  kTypeDoubleList = 11,
  kTypeList = 12,
  kTypeMap = 13,
  kTypeFloatList = 14,
};

constexpr uint8_t kSize16Marker = 254;
constexpr uint8_t kSize32Marker = 255;
constexpr uint64_t kMaxSize = 0xFFFFFFFFu;

// Bounds on reading hostile input. Well-formed messages never meet them, and neither do messages
// cut short by a few bytes, which keep decoding into zeros and nulls.
//
// Containers nest at most this deep, so decoding, copying, comparing and destroying any decoded
// value fit in a small stack.
constexpr unsigned kMaxNestingDepth = 128;
// Once the data has run out, a container may still expect at most this many values; and a string
// or list whose bytes are not all there may declare at most this many bytes (it reads as that many
// zeros). Either way the missing part costs a small constant, not what a size field claims.
constexpr uint64_t kMaxMissing = 64;
// Lists reserve room for at most this many elements up front and grow as elements arrive, so that
// a declared count costs memory only as its elements turn up.
constexpr uint32_t kMaxReserve = 1024;

// Containers open on this thread's current decode.
thread_local unsigned open_containers = 0;

[[noreturn]] void Reject(const char* line) {
  WriteDiagnosticLine(line);
  throw std::length_error(line);
}

[[noreturn]] void RejectSize(uint64_t size) {
  char line[128];
  std::snprintf(
      line, sizeof(line),
      "Size %llu runs past the end of the data in StandardCodecSerializer::ReadValueOfType",
      static_cast<unsigned long long>(size));
  Reject(line);
}

class NestingGuard {
 public:
  NestingGuard() {
    if (open_containers >= kMaxNestingDepth) {
      Reject("Values nested deeper than 128 in StandardCodecSerializer::ReadValueOfType");
    }
    ++open_containers;
  }
  ~NestingGuard() { --open_containers; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
};

// A run of `count` elements of `width` bytes that is about to be read.
void CheckRun(uint64_t count, uint64_t width, const ByteStreamReader& stream) {
  const uint64_t bytes = count * width;  // at most (2^32 - 1) * 8: no overflow
  if (bytes > kMaxMissing && bytes > stream.RemainingBytes()) RejectSize(count);
}

// A container about to read `values` more values, each at least one byte long. The stream is
// asked only when the values could exceed the bound, which spares the last values of every
// container, and every value of small ones, a virtual call.
void CheckValues(uint64_t values, uint64_t size, const ByteStreamReader& stream) {
  if (values > kMaxMissing && values - kMaxMissing > stream.RemainingBytes()) RejectSize(size);
}

// Numbers travel in memory order: the targets are little-endian, as the encoding is.
template <typename T>
void WriteNumber(T number, ByteStreamWriter& stream) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &number, sizeof(T));
  stream.WriteBytes(bytes, sizeof(T));
}

// A failed read leaves the destination untouched, so it starts as zero.
template <typename T>
T ReadNumber(ByteStreamReader& stream) {
  T number{};
  stream.ReadBytes(reinterpret_cast<uint8_t*>(&number), sizeof(T));
  return number;
}

// The size encoding's one-byte form inline, the rest out of line: nearly every size in a message
// is below 254.
void PutSize(const StandardCodecSerializer& serializer, uint64_t size, ByteStreamWriter& stream) {
  if (size < kSize16Marker) {
    stream.WriteByte(static_cast<uint8_t>(size));
  } else {
    serializer.WriteSize(size, stream);
  }
}

inline uint32_t TakeSize(ByteStreamReader& stream) {
  const uint8_t first = stream.ReadByte();
  if (first < kSize16Marker) return first;
  if (first == kSize16Marker) return ReadNumber<uint16_t>(stream);
  return ReadNumber<uint32_t>(stream);
}

// Reads the next value (ReadValue) when converted to a value. Handed to a container's emplace,
// it lets the value be built in the container's own storage instead of being moved there.
class NextValue {
 public:
  NextValue(const StandardCodecSerializer& serializer, ByteStreamReader& stream) noexcept
      : serializer_(serializer), stream_(stream) {}
  operator EncodableValue() const { return serializer_.ReadValue(stream_); }

 private:
  const StandardCodecSerializer& serializer_;
  ByteStreamReader& stream_;
};

}  // namespace

const StandardCodecSerializer& StandardCodecSerializer::Instance() {
  static const StandardCodecSerializer instance;
  return instance;
}

EncodableValue StandardCodecSerializer::ReadValue(ByteStreamReader& stream) const {
  const uint8_t type = stream.ReadByte();
  return ReadValueOfType(type, stream);
}

void StandardCodecSerializer::WriteSize(uint64_t size, ByteStreamWriter& stream) const {
  if (size < kSize16Marker) {
    stream.WriteByte(static_cast<uint8_t>(size));
  } else if (size <= 0xFFFF) {
    stream.WriteByte(kSize16Marker);
    WriteNumber(static_cast<uint16_t>(size), stream);
  } else if (size <= kMaxSize) {
    stream.WriteByte(kSize32Marker);
    WriteNumber(static_cast<uint32_t>(size), stream);
  } else {
    throw std::length_error("StandardCodecSerializer::WriteSize: size above 4294967295");
  }
}

uint32_t StandardCodecSerializer::ReadSize(ByteStreamReader& stream) const {
  return TakeSize(stream);
}

namespace {

// A numeric list moves as one block, straight from the list's storage.
template <typename T>
void WriteNumericList(const StandardCodecSerializer& serializer, const std::vector<T>& list,
                      ByteStreamWriter& stream) {
  PutSize(serializer, list.size(), stream);
  if (list.empty()) return;
  stream.PadToAlignment(static_cast<uint8_t>(sizeof(T)));
  stream.WriteBytes(reinterpret_cast<const uint8_t*>(list.data()), list.size() * sizeof(T));
}

// The reader skips to the element boundary whatever the size, zero included, unlike the writer.
template <typename T>
std::vector<T> ReadNumericList(ByteStreamReader& stream) {
  const uint32_t count = TakeSize(stream);
  stream.SkipToAlignment(static_cast<uint8_t>(sizeof(T)));
  CheckRun(count, sizeof(T), stream);
  std::vector<T> list(count);
  stream.ReadBytes(reinterpret_cast<uint8_t*>(list.data()), list.size() * sizeof(T));
  return list;
}

}  // namespace

void StandardCodecSerializer::WriteValue(const EncodableValue& value,
                                         ByteStreamWriter& stream) const {
  switch (value.Index()) {
    case EncodableValue::kNull:
      stream.WriteByte(kTypeNull);
      return;
    case EncodableValue::kBool:
      stream.WriteByte(*value.GetIf<bool>() ? kTypeTrue : kTypeFalse);
      return;
    case EncodableValue::kInt32:
      stream.WriteByte(kTypeInt32);
      WriteNumber(*value.GetIf<int32_t>(), stream);
      return;
    case EncodableValue::kInt64:
      stream.WriteByte(kTypeInt64);
      WriteNumber(*value.GetIf<int64_t>(), stream);
      return;
    case EncodableValue::kDouble:
      stream.WriteByte(kTypeDouble);
      stream.PadToAlignment(8);
      WriteNumber(*value.GetIf<double>(), stream);
      return;
    case EncodableValue::kString: {
      const std::string& text = *value.GetIf<std::string>();
      stream.WriteByte(kTypeString);
      PutSize(*this, text.size(), stream);
      if (!text.empty()) {
        stream.WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
      }
      return;
    }
    case EncodableValue::kUint8List: {
      const auto& bytes = *value.GetIf<std::vector<uint8_t>>();
      stream.WriteByte(kTypeUint8List);
      PutSize(*this, bytes.size(), stream);
      if (!bytes.empty()) stream.WriteBytes(bytes.data(), bytes.size());
      return;
    }
    case EncodableValue::kInt32List:
      stream.WriteByte(kTypeInt32List);
      WriteNumericList(*this, *value.GetIf<std::vector<int32_t>>(), stream);
      return;
    case EncodableValue::kInt64List:
      stream.WriteByte(kTypeInt64List);
      WriteNumericList(*this, *value.GetIf<std::vector<int64_t>>(), stream);
      return;
    case EncodableValue::kDoubleList:
      stream.WriteByte(kTypeDoubleList);
      WriteNumericList(*this, *value.GetIf<std::vector<double>>(), stream);
      return;
    case EncodableValue::kFloatList:
      stream.WriteByte(kTypeFloatList);
      WriteNumericList(*this, *value.GetIf<std::vector<float>>(), stream);
      return;
    case EncodableValue::kList: {
      const ValueList& list = *value.GetIf<ValueList>();
      stream.WriteByte(kTypeList);
      PutSize(*this, list.size(), stream);
      for (const EncodableValue& element : list) WriteValue(element, stream);
      return;
    }
    case EncodableValue::kMap: {
      const ValueMap& map = *value.GetIf<ValueMap>();
      stream.WriteByte(kTypeMap);
      PutSize(*this, map.size(), stream);
      for (const auto& [key, entry_value] : map) {
        WriteValue(key, stream);
        WriteValue(entry_value, stream);
      }
      return;
    }
    case EncodableValue::kCustom:
    default:
      // The reader sees null, and the rest of the message stays readable.
      stream.WriteByte(kTypeNull);
      WriteDiagnosticLine("Unhandled custom type in StandardCodecSerializer::WriteValue. ",
                          "Custom types require codec extensions.");
      return;
  }
}

EncodableValue StandardCodecSerializer::ReadValueOfType(uint8_t type,
                                                        ByteStreamReader& stream) const {
  switch (type) {
    case kTypeNull:
      return EncodableValue();
    case kTypeTrue:
      return EncodableValue(true);
    case kTypeFalse:
      return EncodableValue(false);
    case kTypeInt32:
      return EncodableValue(ReadNumber<int32_t>(stream));
    case kTypeInt64:
      return EncodableValue(ReadNumber<int64_t>(stream));
    case kTypeDouble:
      stream.SkipToAlignment(8);
      return EncodableValue(ReadNumber<double>(stream));
    case kTypeLargeInt:
    case kTypeString: {
      const uint32_t size = TakeSize(stream);
      CheckRun(size, 1, stream);
      std::string text(size, '\0');
      stream.ReadBytes(reinterpret_cast<uint8_t*>(text.data()), text.size());
      return EncodableValue(std::move(text));
    }
    case kTypeUint8List: {
      const uint32_t size = TakeSize(stream);
      CheckRun(size, 1, stream);
      std::vector<uint8_t> bytes(size);
      stream.ReadBytes(bytes.data(), bytes.size());
      return EncodableValue(std::move(bytes));
    }
    case kTypeInt32List:
      return EncodableValue(ReadNumericList<int32_t>(stream));
    case kTypeInt64List:
      return EncodableValue(ReadNumericList<int64_t>(stream));
    case kTypeDoubleList:
      return EncodableValue(ReadNumericList<double>(stream));
    case kTypeFloatList:
      return EncodableValue(ReadNumericList<float>(stream));
    case kTypeList: {
      const NestingGuard nesting;
      const uint32_t count = TakeSize(stream);
      CheckValues(count, count, stream);
      ValueList list;
      list.reserve(std::min(count, kMaxReserve));
      for (uint32_t i = 0; i < count; ++i) {
        CheckValues(count - i, count, stream);
        list.emplace_back(NextValue(*this, stream));
      }
      return EncodableValue(std::move(list));
    }
    case kTypeMap: {
      const NestingGuard nesting;
      const uint32_t count = TakeSize(stream);
      CheckValues(uint64_t{count} * 2, count, stream);
      ValueMap map;
      for (uint32_t i = 0; i < count; ++i) {
        CheckValues(uint64_t{count - i} * 2, count, stream);
        // The entry is read into its node, key first (the pair's members are built in order).
        // Keys that arrive in order cost one comparison each. Of equivalent keys the first stays.
        map.emplace_hint(map.end(), NextValue(*this, stream), NextValue(*this, stream));
      }
      return EncodableValue(std::move(map));
    }
    default: {
      char decimal[4];
      std::snprintf(decimal, sizeof(decimal), "%u", static_cast<unsigned>(type));
      WriteDiagnosticLine("Unknown type in StandardCodecSerializer::ReadValueOfType: ", decimal);
      return EncodableValue();
    }
  }
}

}  // namespace flutter
