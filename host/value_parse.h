// Reads a value written the way FormatValue writes the common alternatives, for the host
// program's --arg:
//
//   null  true  false  7 (32-bit, or 64-bit when it does not fit)  7L (64-bit)  1.5  -2e3
//   "text" (escapes \" \\ \n \r \t \xNN)  [1, "a"]  {"a": 1, 2: [true]}
#ifndef QUORLAX_HOST_VALUE_PARSE_H_
#define QUORLAX_HOST_VALUE_PARSE_H_

#include <optional>
#include <string>
#include <string_view>

#include "binding/codec/encodable_value.h"

namespace quorlax_host {

// The value `text` spells, or nothing, with `*error` saying what is wrong and where.
std::optional<flutter::EncodableValue> ParseValue(std::string_view text, std::string* error);

}  // namespace quorlax_host

#endif  // QUORLAX_HOST_VALUE_PARSE_H_
