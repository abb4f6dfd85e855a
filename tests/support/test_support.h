// Helpers shared by the tests: hex byte strings, captured diagnostic lines, and value matchers.
#ifndef QUORLAX_TESTS_SUPPORT_TEST_SUPPORT_H_
#define QUORLAX_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "binding/channel/method_result.h"
#include "binding/codec/encodable_value.h"

namespace quorlax_test {

// "03 07 00" -> {0x03, 0x07, 0x00}. Blanks are ignored.
std::vector<uint8_t> FromHex(const std::string& hex);
// {0x03, 0x07} -> "03 07".
std::string ToHex(const uint8_t* bytes, std::size_t size);
std::string ToHex(const std::vector<uint8_t>& bytes);

// Captures what is written to standard error (file descriptor 2) while it lives. Lines() ends the
// capture and returns the complete lines written, without their line ends; CR LF, as the C runtime
// writes it on Windows, counts as one line end.
class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  std::vector<std::string> Lines();

 private:
  bool capturing_ = true;
};

// Runs `body` on a new thread whose stack is `stack_bytes` long, and waits for it.
void RunOnStackOf(std::size_t stack_bytes, const std::function<void()>& body);

// Neither orders before the other.
inline bool Equivalent(const flutter::EncodableValue& a, const flutter::EncodableValue& b) {
  return !(a < b) && !(b < a);
}

// A MethodResult that records every answer it is given.
class RecordingResult : public flutter::MethodResult<flutter::EncodableValue> {
 public:
  struct Answer {
    enum Kind { kSuccess, kError, kNotImplemented };
    explicit Answer(Kind answer_kind) : kind(answer_kind) {}
    Kind kind;
    bool has_value = false;  // success value or error details present
    flutter::EncodableValue value;
    std::string code;
    std::string message;
  };

  // Every answer, in order; shared so that a test can read them after the result is gone.
  explicit RecordingResult(std::shared_ptr<std::vector<Answer>> answers)
      : answers_(std::move(answers)) {}

 protected:
  void DeliverSuccess(const flutter::EncodableValue* result) override;
  void DeliverError(const std::string& code, const std::string& message,
                    const flutter::EncodableValue* details) override;
  void DeliverNotImplemented() override;

 private:
  std::shared_ptr<std::vector<Answer>> answers_;
};

MATCHER_P(IsEquivalentTo, expected, "is equivalent to " + testing::PrintToString(expected)) {
  return Equivalent(arg, expected);
}

}  // namespace quorlax_test

namespace flutter {
// Readable values in gtest messages.
void PrintTo(const EncodableValue& value, std::ostream* out);
}  // namespace flutter

#endif  // QUORLAX_TESTS_SUPPORT_TEST_SUPPORT_H_
