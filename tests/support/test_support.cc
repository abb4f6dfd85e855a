#include "tests/support/test_support.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "host/value_format.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace quorlax_test {

std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  int pending = -1;
  for (const char c : hex) {
    if (c == ' ') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      throw std::invalid_argument("not a hex digit in \"" + hex + "\"");
    }
    const int digit = std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    if (pending < 0) {
      pending = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(pending * 16 + digit));
      pending = -1;
    }
  }
  if (pending >= 0) throw std::invalid_argument("odd number of hex digits in \"" + hex + "\"");
  return bytes;
}

std::string ToHex(const uint8_t* bytes, std::size_t size) {
  std::string hex;
  for (std::size_t i = 0; i < size; ++i) {
    char pair[4];
    std::snprintf(pair, sizeof(pair), "%02X", bytes[i]);
    if (i != 0) hex += ' ';
    hex += pair;
  }
  return hex;
}

std::string ToHex(const std::vector<uint8_t>& bytes) { return ToHex(bytes.data(), bytes.size()); }

namespace {

#if defined(_WIN32)
DWORD WINAPI RunBody(void* body) {
  (*static_cast<const std::function<void()>*>(body))();
  return 0;
}
#else
void* RunBody(void* body) {
  (*static_cast<const std::function<void()>*>(body))();
  return nullptr;
}
#endif

}  // namespace

void RunOnStackOf(std::size_t stack_bytes, const std::function<void()>& body) {
  void* argument = const_cast<std::function<void()>*>(&body);
#if defined(_WIN32)
  HANDLE thread = CreateThread(nullptr, stack_bytes, RunBody, argument,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr) throw std::runtime_error("CreateThread failed");
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
#else
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, stack_bytes);
  pthread_t thread;
  const int error = pthread_create(&thread, &attributes, RunBody, argument);
  pthread_attr_destroy(&attributes);
  if (error != 0) throw std::runtime_error("pthread_create failed");
  pthread_join(thread, nullptr);
#endif
}

StderrCapture::StderrCapture() { testing::internal::CaptureStderr(); }

StderrCapture::~StderrCapture() {
  if (capturing_) testing::internal::GetCapturedStderr();
}

std::vector<std::string> StderrCapture::Lines() {
  std::vector<std::string> lines;
  if (!capturing_) return lines;
  capturing_ = false;
  const std::string text = testing::internal::GetCapturedStderr();
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line + "<no line end>");
  return lines;
}

void RecordingResult::DeliverSuccess(const flutter::EncodableValue* result) {
  Answer answer(Answer::kSuccess);
  answer.has_value = result != nullptr;
  if (result) answer.value = *result;
  answers_->push_back(std::move(answer));
}

void RecordingResult::DeliverError(const std::string& code, const std::string& message,
                                   const flutter::EncodableValue* details) {
  Answer answer(Answer::kError);
  answer.has_value = details != nullptr;
  if (details) answer.value = *details;
  answer.code = code;
  answer.message = message;
  answers_->push_back(std::move(answer));
}

void RecordingResult::DeliverNotImplemented() { answers_->emplace_back(Answer::kNotImplemented); }

}  // namespace quorlax_test

namespace flutter {
void PrintTo(const EncodableValue& value, std::ostream* out) {
  *out << quorlax_host::FormatValue(value);
}
}  // namespace flutter
