// EncodableValue: the value type that the standard codec carries. Method call arguments, success
// results and error details each travel as one EncodableValue.
//
// A value holds exactly one of fourteen alternatives, at fixed positions (Index()):
//
//    0 null (std::monostate)      7 std::vector<int32_t>
//    1 bool                       8 std::vector<int64_t>
//    2 int32_t                    9 std::vector<double>
//    3 int64_t                   10 ValueList
//    4 double                    11 ValueMap
//    5 std::string (UTF-8 bytes) 12 CustomValue
//    6 std::vector<uint8_t>      13 std::vector<float>
//
// A value owns its whole tree of content; copies are deep and share nothing. 32-bit and 64-bit
// integers are distinct alternatives and never convert into one another.
//
// Values have a total order (operator<), which ValueMap uses for its keys: first by position, then
// within an alternative as described at operator< below.
//
// Thread safety: an ordinary value type. Concurrent reads of one value are safe; a value that is
// being modified must not be read or modified from another thread.
#ifndef QUORLAX_BINDING_CODEC_ENCODABLE_VALUE_H_
#define QUORLAX_BINDING_CODEC_ENCODABLE_VALUE_H_

#include <any>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace flutter {

class EncodableValue;

using ValueList = std::vector<EncodableValue>;
using ValueMap = std::map<EncodableValue, EncodableValue>;

// Holds nothing or one application-defined object of any copyable type. The standard codec never
// looks inside; it writes a custom value as null, with a diagnostic, unless a derived serializer
// takes it over.
//
// Copying the holder copies the object with that type's own copy constructor. There is no move:
// moving a CustomValue copies it, so the source keeps its object.
class CustomValue {
 public:
  CustomValue() = default;
  template <typename T, typename = std::enable_if_t<!std::is_same_v<std::decay_t<T>, CustomValue>>>
  explicit CustomValue(T&& object) : object_(std::forward<T>(object)) {}

  CustomValue(const CustomValue&) = default;
  CustomValue& operator=(const CustomValue&) = default;
  ~CustomValue() = default;

  bool HasObject() const noexcept { return object_.has_value(); }
  // The held object, or null when the holder is empty or holds another type. Valid until this
  // holder is assigned to or destroyed.
  template <typename T>
  const T* As() const noexcept {
    return std::any_cast<T>(&object_);
  }
  template <typename T>
  T* As() noexcept {
    return std::any_cast<T>(&object_);
  }

 private:
  std::any object_;
};

class EncodableValue {
 public:
  using Variant =
      std::variant<std::monostate, bool, int32_t, int64_t, double, std::string,
                   std::vector<uint8_t>, std::vector<int32_t>, std::vector<int64_t>,
                   std::vector<double>, ValueList, ValueMap, CustomValue, std::vector<float>>;

  // Positions of the alternatives.
  static constexpr std::size_t kNull = 0;
  static constexpr std::size_t kBool = 1;
  static constexpr std::size_t kInt32 = 2;
  static constexpr std::size_t kInt64 = 3;
  static constexpr std::size_t kDouble = 4;
  static constexpr std::size_t kString = 5;
  static constexpr std::size_t kUint8List = 6;
  static constexpr std::size_t kInt32List = 7;
  static constexpr std::size_t kInt64List = 8;
  static constexpr std::size_t kDoubleList = 9;
  static constexpr std::size_t kList = 10;
  static constexpr std::size_t kMap = 11;
  static constexpr std::size_t kCustom = 12;
  static constexpr std::size_t kFloatList = 13;

  // Null.
  EncodableValue() noexcept = default;

  // One constructor per alternative, by copy and by move, so that each argument type picks its
  // alternative exactly: EncodableValue("text") holds a string, not a bool.
  EncodableValue(bool value) noexcept : value_(value) {}
  EncodableValue(int32_t value) noexcept : value_(value) {}
  EncodableValue(int64_t value) noexcept : value_(value) {}
  EncodableValue(double value) noexcept : value_(value) {}
  EncodableValue(const char* value) : value_(std::string(value)) {}
  EncodableValue(const std::string& value) : value_(value) {}
  EncodableValue(std::string&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const std::vector<uint8_t>& value) : value_(value) {}
  EncodableValue(std::vector<uint8_t>&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const std::vector<int32_t>& value) : value_(value) {}
  EncodableValue(std::vector<int32_t>&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const std::vector<int64_t>& value) : value_(value) {}
  EncodableValue(std::vector<int64_t>&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const std::vector<double>& value) : value_(value) {}
  EncodableValue(std::vector<double>&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const ValueList& value) : value_(value) {}
  EncodableValue(ValueList&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const ValueMap& value) : value_(value) {}
  EncodableValue(ValueMap&& value) noexcept : value_(std::move(value)) {}
  EncodableValue(const CustomValue& value) : value_(value) {}
  EncodableValue(const std::vector<float>& value) : value_(value) {}
  EncodableValue(std::vector<float>&& value) noexcept : value_(std::move(value)) {}
  // Any other pointer would otherwise become a bool.
  template <typename T>
  EncodableValue(T*) = delete;

  // Deep copy.
  EncodableValue(const EncodableValue&) = default;
  EncodableValue& operator=(const EncodableValue&) = default;

  // Takes over a string, array, list or map, leaving the source holding the same alternative,
  // empty. A CustomValue is copied instead (it has no move); should that copy throw, the program
  // terminates, since moves of values never fail (which lets containers of values move them).
  EncodableValue(EncodableValue&& other) noexcept : value_(std::move(other.value_)) {}
  EncodableValue& operator=(EncodableValue&& other) noexcept {
    value_ = std::move(other.value_);
    return *this;
  }

  ~EncodableValue() = default;

  // Position (0 to 13) of the alternative held.
  std::size_t Index() const noexcept { return value_.index(); }
  bool IsNull() const noexcept { return value_.index() == kNull; }

  template <typename T>
  bool Holds() const noexcept {
    return std::holds_alternative<T>(value_);
  }

  // The content of alternative T. Throws std::bad_variant_access ("bad variant access") when the
  // value holds another alternative; the value is then unchanged. The reference is valid until
  // the value is assigned to or destroyed.
  template <typename T>
  const T& Get() const {
    if (const T* content = std::get_if<T>(&value_)) return *content;
    throw std::bad_variant_access();
  }
  template <typename T>
  T& Get() {
    if (T* content = std::get_if<T>(&value_)) return *content;
    throw std::bad_variant_access();
  }

  // The content of alternative T, or null when the value holds another alternative.
  template <typename T>
  const T* GetIf() const noexcept {
    return std::get_if<T>(&value_);
  }
  template <typename T>
  T* GetIf() noexcept {
    return std::get_if<T>(&value_);
  }

  // Calls `visitor` with the content of the alternative held.
  template <typename Visitor>
  decltype(auto) Visit(Visitor&& visitor) const {
    return std::visit(std::forward<Visitor>(visitor), value_);
  }

  // The value order. A value of a lower position orders first. Within one alternative: false
  // before true; integers and doubles numerically (a NaN is equivalent to every double); strings
  // and byte lists by unsigned bytes, then length; numeric lists and ValueLists element by element,
  // a proper prefix first; ValueMaps entry by entry (key, then value) in key order; custom values
  // by the addresses of the two values, so a custom value is equivalent only to itself.
  friend bool operator<(const EncodableValue& a, const EncodableValue& b);

 private:
  Variant value_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CODEC_ENCODABLE_VALUE_H_
