// quorlax-host: plays the application. Loads the plugin module at run time, creates a registrar
// in the stand-in engine, registers the plugin through the module's export, sends each method
// call named on the command line on the channel "quorlax", and prints each decoded answer on a
// line of its own:
//
//   $ quorlax-host getPlatformVersion getBatteryLevel
//   getPlatformVersion -> "Windows 10+"
//   getBatteryLevel -> not implemented
//
// The module's own diagnostics go to standard error, as they would in an application.
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "binding/codec/standard_method_codec.h"
#include "host/module_loader.h"
#include "host/value_format.h"
#include "host/value_parse.h"
#include "platform/engine/engine_host.h"

#if !defined(_WIN32)
#include "platform/kernel32/simulated_version.h"
#endif

namespace quorlax_host {
namespace {

constexpr char kUsage[] =
    "usage: quorlax-host [--module PATH] [--windows-version MAJOR.MINOR[.SP]] [--repeat N] "
    "{[--arg VALUE] METHOD | --raw HEX}...";

// One message to send: a method call, or raw bytes.
struct Message {
  std::string label;
  std::vector<uint8_t> bytes;
};

struct Options {
  std::string module_path;
  std::optional<std::string> windows_version;
  long repeat = 1;
  std::vector<Message> messages;
};

[[noreturn]] void UsageError(const std::string& problem) {
  std::fprintf(stderr, "quorlax-host: %s\n%s\n", problem.c_str(), kUsage);
  std::exit(2);
}

std::optional<std::vector<uint8_t>> ParseHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  std::string digits;
  for (const char c : hex) {
    if (c == ' ') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits += c;
  }
  if (digits.size() % 2 != 0) return std::nullopt;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  std::optional<flutter::EncodableValue> argument;
  const flutter::StandardMethodCodec& codec = flutter::StandardMethodCodec::Instance();
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    const auto next = [&]() -> std::string {
      if (i + 1 >= argc) UsageError(word + " needs a value");
      return argv[++i];
    };
    if (word == "--help" || word == "-h") {
      std::printf("%s\n", kUsage);
      std::exit(0);
    } else if (word == "--module") {
      options.module_path = next();
    } else if (word == "--windows-version") {
#if defined(_WIN32)
      UsageError("--windows-version is for systems other than Windows; here the system answers");
#else
      options.windows_version = next();
#endif
    } else if (word == "--repeat") {
      const std::string count = next();
      char* end = nullptr;
      options.repeat = std::strtol(count.c_str(), &end, 10);
      if (count.empty() || *end != '\0' || options.repeat < 1) {
        UsageError("--repeat needs a count of 1 or more");
      }
    } else if (word == "--arg") {
      std::string error;
      argument = ParseValue(next(), &error);
      if (!argument) UsageError("--arg: " + error);
    } else if (word == "--raw") {
      const std::string hex = next();
      std::optional<std::vector<uint8_t>> bytes = ParseHex(hex);
      if (!bytes) UsageError("--raw needs hex bytes, like \"07 01 61 00\"");
      options.messages.push_back({"raw " + hex, std::move(*bytes)});
    } else if (word.rfind("--", 0) == 0) {
      UsageError("unknown option " + word);
    } else {
      const flutter::MethodCall<> call(
          word,
          argument ? std::make_unique<flutter::EncodableValue>(std::move(*argument)) : nullptr);
      options.messages.push_back({word, *codec.EncodeCall(call)});
      argument.reset();
    }
  }
  if (argument) UsageError("--arg must come before the method it is for");
  if (options.messages.empty()) UsageError("nothing to send");
  return options;
}

#if !defined(_WIN32)
void SetWindowsVersion(const std::string& text) {
  kernel32_stand_in::WindowsVersion version;
  unsigned major = 0;
  unsigned minor = 0;
  unsigned service_pack = 0;
  char extra = 0;
  const int fields = std::sscanf(text.c_str(), "%u.%u.%u%c", &major, &minor, &service_pack, &extra);
  if (fields != 2 && fields != 3) UsageError("--windows-version needs MAJOR.MINOR[.SP]");
  if (service_pack > 0xFFFF) UsageError("--windows-version: the service pack is at most 65535");
  version.major = major;
  version.minor = minor;
  version.service_pack_major = static_cast<uint16_t>(service_pack);
  kernel32_stand_in::SetSimulatedVersion(version);
}
#endif

// Reads the answer envelope the way the application side of the channel would.
class AnswerText : public flutter::MethodResult<flutter::EncodableValue> {
 public:
  std::string text = "undecodable answer";

 protected:
  void DeliverSuccess(const flutter::EncodableValue* result) override {
    text = result ? FormatValue(*result) : "null";
  }
  void DeliverError(const std::string& code, const std::string& message,
                    const flutter::EncodableValue* details) override {
    text = "error " + FormatValue(flutter::EncodableValue(code)) + " " +
           FormatValue(flutter::EncodableValue(message));
    if (details) text += " " + FormatValue(*details);
  }
  void DeliverNotImplemented() override { text = "not implemented"; }
};

std::string DescribeResponse(const engine_host::ResponseRecord& response) {
  if (!response.answered) return "no answer";
  if (response.bytes.empty()) return "not implemented";
  AnswerText answer;
  try {
    flutter::StandardMethodCodec::Instance().DecodeResponse(response.bytes.data(),
                                                            response.bytes.size(), &answer);
  } catch (const std::exception& error) {
    return std::string("undecodable answer (") + error.what() + ")";
  }
  return answer.text;
}

int Run(const Options& options) {
  std::string error;
  const std::unique_ptr<LoadedModule> module = LoadedModule::Load(
      options.module_path.empty() ? DefaultModulePath() : options.module_path, &error);
  if (!module) {
    std::fprintf(stderr, "quorlax-host: %s\n", error.c_str());
    return 1;
  }
  engine_host::Engine engine;
  module->register_with_registrar()(engine.CreateRegistrar(true));

  for (const Message& message : options.messages) {
    const auto start = std::chrono::steady_clock::now();
    std::string answer;
    for (long i = 0; i < options.repeat; ++i) {
      const auto* handle = engine.Deliver("quorlax", message.bytes);
      if (i == 0) answer = DescribeResponse(*engine.Response(handle));
      if (options.repeat > 1 && i % 4096 == 4095) engine.ClearCalls();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%s -> %s\n", message.label.c_str(), answer.c_str());
    if (options.repeat > 1) {
      std::printf("%s: %ld calls in %.3f s, %.0f calls/s\n", message.label.c_str(), options.repeat,
                  elapsed.count(), static_cast<double>(options.repeat) / elapsed.count());
    }
    std::fflush(stdout);
  }
  const std::vector<std::string> violations = engine.Violations();
  for (const std::string& violation : violations) {
    std::fprintf(stderr, "quorlax-host: engine protocol violation: %s\n", violation.c_str());
  }
  return violations.empty() ? 0 : 1;
}

}  // namespace
}  // namespace quorlax_host

int main(int argc, char** argv) {
  const quorlax_host::Options options = quorlax_host::ParseOptions(argc, argv);
#if !defined(_WIN32)
  if (options.windows_version) quorlax_host::SetWindowsVersion(*options.windows_version);
#endif
  return quorlax_host::Run(options);
}
