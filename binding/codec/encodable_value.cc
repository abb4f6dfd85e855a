#include "binding/codec/encodable_value.h"

#include <algorithm>
#include <cstdint>

namespace flutter {
namespace {

// Order within one alternative. Every content type but CustomValue brings the order wanted:
// std::string compares its bytes as unsigned char, vectors and maps compare lexicographically
// with a proper prefix first, and doubles and floats with the built-in less-than.
struct LessWithin {
  const EncodableValue& a;
  const EncodableValue& b;

  template <typename T>
  bool operator()(const T& content) const {
    return content < *b.GetIf<T>();
  }
  bool operator()(const CustomValue&) const {
    return reinterpret_cast<std::uintptr_t>(&a) < reinterpret_cast<std::uintptr_t>(&b);
  }
};

}  // namespace

bool operator<(const EncodableValue& a, const EncodableValue& b) {
  if (a.Index() != b.Index()) return a.Index() < b.Index();
  return a.Visit(LessWithin{a, b});
}

}  // namespace flutter
