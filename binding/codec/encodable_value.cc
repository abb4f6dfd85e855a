#include "binding/codec/encodable_value.h"

#include <cstdint>
#include <cstring>

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

struct CompareWithin {
  const EncodableValue& a;
  const EncodableValue& b;

  int operator()(std::monostate) const { return 0; }
  int operator()(bool content) const { return CompareNumbers(content, *b.GetIf<bool>()); }
  int operator()(int32_t content) const { return CompareNumbers(content, *b.GetIf<int32_t>()); }
  int operator()(int64_t content) const { return CompareNumbers(content, *b.GetIf<int64_t>()); }
  int operator()(double content) const { return CompareNumbers(content, *b.GetIf<double>()); }
  // Bytes compare as unsigned values.
  int operator()(const std::string& content) const {
    const std::string& other = *b.GetIf<std::string>();
    return CompareBytes(content.data(), content.size(), other.data(), other.size());
  }
  int operator()(const std::vector<uint8_t>& content) const {
    const auto& other = *b.GetIf<std::vector<uint8_t>>();
    return CompareBytes(content.data(), content.size(), other.data(), other.size());
  }
  template <typename Number>
  int operator()(const std::vector<Number>& content) const {
    const auto& other = *b.GetIf<std::vector<Number>>();
    return CompareRanges(content.begin(), content.end(), other.begin(), other.end(),
                         [](Number x, Number y) { return CompareNumbers(x, y); });
  }
  int operator()(const ValueList& content) const {
    const ValueList& other = *b.GetIf<ValueList>();
    return CompareRanges(content.begin(), content.end(), other.begin(), other.end(), Compare);
  }
  // Entry by entry in key order: the key decides, then the value.
  int operator()(const ValueMap& content) const {
    const ValueMap& other = *b.GetIf<ValueMap>();
    return CompareRanges(content.begin(), content.end(), other.begin(), other.end(),
                         [](const ValueMap::value_type& x, const ValueMap::value_type& y) {
                           if (const int order = Compare(x.first, y.first)) return order;
                           return Compare(x.second, y.second);
                         });
  }
  // By the addresses of the two values: a custom value is equivalent only to itself.
  int operator()(const CustomValue&) const {
    return CompareNumbers(reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::uintptr_t>(&b));
  }
};

int Compare(const EncodableValue& a, const EncodableValue& b) {
  if (a.Index() != b.Index()) return CompareNumbers(a.Index(), b.Index());
  return a.Visit(CompareWithin{a, b});
}

}  // namespace

bool operator<(const EncodableValue& a, const EncodableValue& b) { return Compare(a, b) < 0; }

}  // namespace flutter
