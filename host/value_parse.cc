#include "host/value_parse.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

namespace quorlax_host {
namespace {

using flutter::EncodableValue;

// Recursive descent over the text; nesting is bounded so that a hostile argument cannot exhaust
// the stack.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<EncodableValue> ParseWhole(std::string* error) {
    std::optional<EncodableValue> value = Value(0);
    SkipBlanks();
    if (value && position_ != text_.size()) Fail("unexpected text");
    if (!failure_.empty()) {
      *error = failure_ + " at offset " + std::to_string(failure_position_);
      return std::nullopt;
    }
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;

  std::optional<EncodableValue> Value(int depth) {
    SkipBlanks();
    if (depth > kMaxDepth) return Fail("nested too deep");
    if (position_ == text_.size()) return Fail("a value is missing");
    const char c = text_[position_];
    if (c == '"') return String();
    if (c == '[') return List(depth);
    if (c == '{') return Map(depth);
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return Number();
    if (Word("null")) return EncodableValue();
    if (Word("true")) return EncodableValue(true);
    if (Word("false")) return EncodableValue(false);
    return Fail("not a value");
  }

  std::optional<EncodableValue> String() {
    ++position_;
    std::string text;
    while (position_ < text_.size() && text_[position_] != '"') {
      char c = text_[position_++];
      if (c == '\\') {
        if (position_ == text_.size()) break;
        const char escape = text_[position_++];
        switch (escape) {
          case 'n':
            c = '\n';
            break;
          case 'r':
            c = '\r';
            break;
          case 't':
            c = '\t';
            break;
          case '"':
          case '\\':
            c = escape;
            break;
          case 'x': {
            if (position_ + 2 > text_.size()) return Fail("\\x needs two hex digits");
            const std::string digits(text_.substr(position_, 2));
            char* end = nullptr;
            const long byte = std::strtol(digits.c_str(), &end, 16);
            if (end != digits.c_str() + 2) return Fail("\\x needs two hex digits");
            c = static_cast<char>(byte);
            position_ += 2;
            break;
          }
          default:
            return Fail("unknown escape");
        }
      }
      text += c;
    }
    if (position_ == text_.size()) return Fail("a string is not closed");
    ++position_;
    return EncodableValue(std::move(text));
  }

  std::optional<EncodableValue> Number() {
    const std::size_t start = position_;
    if (text_[position_] == '-') ++position_;
    bool is_double = false;
    while (position_ < text_.size()) {
      const char c = text_[position_];
      if (std::isdigit(static_cast<unsigned char>(c))) {
        ++position_;
      } else if (c == '.' || c == 'e' || c == 'E' ||
                 ((c == '+' || c == '-') &&
                  (text_[position_ - 1] == 'e' || text_[position_ - 1] == 'E'))) {
        is_double = true;
        ++position_;
      } else {
        break;
      }
    }
    const std::string digits(text_.substr(start, position_ - start));
    char* end = nullptr;
    errno = 0;
    if (is_double) {
      const double number = std::strtod(digits.c_str(), &end);
      if (end != digits.c_str() + digits.size()) return Fail("not a number");
      return EncodableValue(number);
    }
    const long long number = std::strtoll(digits.c_str(), &end, 10);
    if (end != digits.c_str() + digits.size() || digits == "-") return Fail("not a number");
    if (errno == ERANGE) return Fail("an integer out of range");
    if (position_ < text_.size() && text_[position_] == 'L') {
      ++position_;
      return EncodableValue(static_cast<int64_t>(number));
    }
    if (number >= std::numeric_limits<int32_t>::min() &&
        number <= std::numeric_limits<int32_t>::max()) {
      return EncodableValue(static_cast<int32_t>(number));
    }
    return EncodableValue(static_cast<int64_t>(number));
  }

  std::optional<EncodableValue> List(int depth) {
    ++position_;
    flutter::ValueList list;
    if (Take(']')) return EncodableValue(std::move(list));
    do {
      std::optional<EncodableValue> element = Value(depth + 1);
      if (!element) return std::nullopt;
      list.push_back(std::move(*element));
    } while (Take(','));
    if (!Take(']')) return Fail("expected , or ]");
    return EncodableValue(std::move(list));
  }

  std::optional<EncodableValue> Map(int depth) {
    ++position_;
    flutter::ValueMap map;
    if (Take('}')) return EncodableValue(std::move(map));
    do {
      std::optional<EncodableValue> key = Value(depth + 1);
      if (!key) return std::nullopt;
      if (!Take(':')) return Fail("expected :");
      std::optional<EncodableValue> value = Value(depth + 1);
      if (!value) return std::nullopt;
      map.emplace(std::move(*key), std::move(*value));
    } while (Take(','));
    if (!Take('}')) return Fail("expected , or }");
    return EncodableValue(std::move(map));
  }

  bool Word(std::string_view word) {
    if (text_.substr(position_, word.size()) != word) return false;
    position_ += word.size();
    return true;
  }

  bool Take(char c) {
    SkipBlanks();
    if (position_ < text_.size() && text_[position_] == c) {
      ++position_;
      return true;
    }
    return false;
  }

  void SkipBlanks() {
    while (position_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[position_]))) {
      ++position_;
    }
  }

  std::nullopt_t Fail(const char* what) {
    if (failure_.empty()) {
      failure_ = what;
      failure_position_ = position_;
    }
    return std::nullopt;
  }

  std::string_view text_;
  std::size_t position_ = 0;
  std::string failure_;
  std::size_t failure_position_ = 0;
};

}  // namespace

std::optional<EncodableValue> ParseValue(std::string_view text, std::string* error) {
  return Parser(text).ParseWhole(error);
}

}  // namespace quorlax_host
