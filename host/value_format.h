// Readable text for an EncodableValue, for the host program's output and test failure messages.
//
//   null  true  7 (32-bit)  7L (64-bit)  1.5  "text"  bytes[01 ff]  int32[1, 2]  int64[1]
//   float64[1.5]  float32[1]  [1, "a"]  {"a": 1}  custom
//
// Strings print between double quotes, with \" \\ \n \r \t and \xNN for other control bytes;
// other bytes, UTF-8 included, print as they are.
#ifndef QUORLAX_HOST_VALUE_FORMAT_H_
#define QUORLAX_HOST_VALUE_FORMAT_H_

#include <string>

#include "binding/codec/encodable_value.h"

namespace quorlax_host {

std::string FormatValue(const flutter::EncodableValue& value);

}  // namespace quorlax_host

#endif  // QUORLAX_HOST_VALUE_FORMAT_H_
