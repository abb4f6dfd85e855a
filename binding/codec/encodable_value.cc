#include "binding/codec/encodable_value.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace flutter {
namespace {

// The value order as a three-way comparison: negative, zero (equivalent) or positive. Asking
// operator< both ways at every level, as the standard containers' comparisons do, would make
// comparing two equivalent values nested n deep cost 2^n; this costs their size.
int Compare(const EncodableValue& a, const EncodableValue& b);

template <typename T>
int CompareNumbers(T a, T b) {
  // Equivalent when neither is less, a NaN included.
  if (a < b) return -1;
  if (b < a) return 1;
  return 0;
}

int CompareBytes(const void* a, std::size_t a_size, const void* b, std::size_t b_size) {
  const std::size_t common = a_size < b_size ? a_size : b_size;
  if (common != 0) {
    if (const int order = std::memcmp(a, b, common)) return order;
  }
  return CompareNumbers(a_size, b_size);
}

// Element by element; a proper prefix orders first.
template <typename Iterator, typename CompareElements>
int CompareRanges(Iterator a, Iterator a_end, Iterator b, Iterator b_end,
                  CompareElements compare_elements) {
  for (; a != a_end && b != b_end; ++a, ++b) {
    if (const int order = compare_elements(*a, *b)) return order;
  }
  if (a != a_end) return 1;
  if (b != b_end) return -1;
  return 0;
}

// The order within alternative T, which both values hold.
template <typename T>
int CompareWithin(const EncodableValue& a, const EncodableValue& b) {
  if constexpr (std::is_same_v<T, std::monostate>) {
    return 0;
  } else if constexpr (std::is_same_v<T, CustomValue>) {
    // By the addresses of the two values: a custom value is equivalent only to itself.
    return CompareNumbers(reinterpret_cast<std::uintptr_t>(&a),
                          reinterpret_cast<std::uintptr_t>(&b));
  } else {
    const T& x = *a.GetIf<T>();
    const T& y = *b.GetIf<T>();
    if constexpr (std::is_arithmetic_v<T>) {
      return CompareNumbers(x, y);
    } else if constexpr (std::is_same_v<T, std::string> ||
                         std::is_same_v<T, std::vector<uint8_t>>) {
      // Bytes compare as unsigned values.
      return CompareBytes(x.data(), x.size(), y.data(), y.size());
    } else if constexpr (std::is_same_v<T, ValueList>) {
      return CompareRanges(x.begin(), x.end(), y.begin(), y.end(), Compare);
    } else if constexpr (std::is_same_v<T, ValueMap>) {
      // Entry by entry in key order: the key decides, then the value.
      return CompareRanges(x.begin(), x.end(), y.begin(), y.end(),
                           [](const ValueMap::value_type& p, const ValueMap::value_type& q) {
                             if (const int order = Compare(p.first, q.first)) return order;
                             return Compare(p.second, q.second);
                           });
    } else {  // numeric lists
      using Number = typename T::value_type;
      return CompareRanges(x.begin(), x.end(), y.begin(), y.end(),
                           [](Number p, Number q) { return CompareNumbers(p, q); });
    }
  }
}

// A switch rather than std::visit: map keys are compared on every insertion, and the switch
// spares each comparison an indirect call.
int Compare(const EncodableValue& a, const EncodableValue& b) {
  if (a.Index() != b.Index()) return CompareNumbers(a.Index(), b.Index());
  switch (a.Index()) {
    case EncodableValue::kNull:
      return CompareWithin<std::monostate>(a, b);
    case EncodableValue::kBool:
      return CompareWithin<bool>(a, b);
    case EncodableValue::kInt32:
      return CompareWithin<int32_t>(a, b);
    case EncodableValue::kInt64:
      return CompareWithin<int64_t>(a, b);
    case EncodableValue::kDouble:
      return CompareWithin<double>(a, b);
    case EncodableValue::kString:
      return CompareWithin<std::string>(a, b);
    case EncodableValue::kUint8List:
      return CompareWithin<std::vector<uint8_t>>(a, b);
    case EncodableValue::kInt32List:
      return CompareWithin<std::vector<int32_t>>(a, b);
    case EncodableValue::kInt64List:
      return CompareWithin<std::vector<int64_t>>(a, b);
    case EncodableValue::kDoubleList:
      return CompareWithin<std::vector<double>>(a, b);
    case EncodableValue::kList:
      return CompareWithin<ValueList>(a, b);
    case EncodableValue::kMap:
      return CompareWithin<ValueMap>(a, b);
    case EncodableValue::kCustom:
      return CompareWithin<CustomValue>(a, b);
    case EncodableValue::kFloatList:
    default:
      return CompareWithin<std::vector<float>>(a, b);
  }
}

}  // namespace

bool operator<(const EncodableValue& a, const EncodableValue& b) { return Compare(a, b) < 0; }

}  // namespace flutter
