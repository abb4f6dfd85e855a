#include "host/value_format.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorlax_host {
namespace {

void AppendNumber(double number, std::string& out) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.17g", number);
  // The shortest text that reads back as the same double.
  for (int precision = 1; precision < 17; ++precision) {
    char shorter[32];
    std::snprintf(shorter, sizeof(shorter), "%.*g", precision, number);
    if (std::strtod(shorter, nullptr) == number) {
      std::snprintf(text, sizeof(text), "%s", shorter);
      break;
    }
  }
  out += text;
}

void AppendQuoted(const std::string& text, std::string& out) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char escape[8];
          std::snprintf(escape, sizeof(escape), "\\x%02x", byte);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void Append(const flutter::EncodableValue& value, std::string& out);

template <typename T, typename AppendElement>
void AppendList(const char* prefix, const std::vector<T>& list, const char* separator,
                AppendElement append, std::string& out) {
  out += prefix;
  out += '[';
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i != 0) out += separator;
    append(list[i], out);
  }
  out += ']';
}

struct Appender {
  std::string& out;

  void operator()(std::monostate) const { out += "null"; }
  void operator()(bool b) const { out += b ? "true" : "false"; }
  void operator()(int32_t n) const { out += std::to_string(n); }
  void operator()(int64_t n) const { out += std::to_string(n) + "L"; }
  void operator()(double d) const { AppendNumber(d, out); }
  void operator()(const std::string& s) const { AppendQuoted(s, out); }
  void operator()(const std::vector<uint8_t>& bytes) const {
    AppendList(
        "bytes", bytes, " ",
        [](uint8_t b, std::string& o) {
          char hex[3];
          std::snprintf(hex, sizeof(hex), "%02x", b);
          o += hex;
        },
        out);
  }
  void operator()(const std::vector<int32_t>& list) const {
    AppendList(
        "int32", list, ", ", [](int32_t n, std::string& o) { o += std::to_string(n); }, out);
  }
  void operator()(const std::vector<int64_t>& list) const {
    AppendList(
        "int64", list, ", ", [](int64_t n, std::string& o) { o += std::to_string(n); }, out);
  }
  void operator()(const std::vector<double>& list) const {
    AppendList(
        "float64", list, ", ", [](double d, std::string& o) { AppendNumber(d, o); }, out);
  }
  void operator()(const std::vector<float>& list) const {
    AppendList(
        "float32", list, ", ", [](float f, std::string& o) { AppendNumber(f, o); }, out);
  }
  void operator()(const flutter::ValueList& list) const {
    AppendList(
        "", list, ", ", [](const flutter::EncodableValue& v, std::string& o) { Append(v, o); },
        out);
  }
  void operator()(const flutter::ValueMap& map) const {
    out += '{';
    bool first = true;
    for (const auto& [key, entry] : map) {
      if (!first) out += ", ";
      first = false;
      Append(key, out);
      out += ": ";
      Append(entry, out);
    }
    out += '}';
  }
  void operator()(const flutter::CustomValue&) const { out += "custom"; }
};

void Append(const flutter::EncodableValue& value, std::string& out) { value.Visit(Appender{out}); }

}  // namespace

std::string FormatValue(const flutter::EncodableValue& value) {
  std::string out;
  Append(value, out);
  return out;
}

}  // namespace quorlax_host
