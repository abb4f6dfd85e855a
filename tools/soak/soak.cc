// quorlax-soak: a million mixed messages (good, unknown and malformed) through the stand-in engine
// to the module, registered through its export; checks that every message gets exactly one
// response, that every messenger reference taken is given back, and that the heap does not grow.
// Prints those figures; exits 1 if any check fails.
//
//   quorlax-soak [--messages N] [--keep-diagnostics]
//
// The engine keeps a record of every message it delivers, so the run uses a fresh engine (a new
// registration, and a teardown) per batch; the heap is measured between batches, when only the
// module's lasting state is left, by counting the blocks that operator new handed out and
// operator delete has not taken back (the module's and the engine's allocations come through the
// program's operator new). The allocator's own caches would blur any figure it reports itself.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "binding/codec/standard_method_codec.h"
#include "platform/engine/engine_host.h"
#include "plugin/quorlax_plugin_c_api.h"

namespace {

using flutter::EncodableValue;

constexpr long kBatch = 10000;

std::vector<uint8_t> Call(const std::string& method, const EncodableValue* arguments) {
  return *flutter::StandardMethodCodec::Instance().EncodeCall(flutter::MethodCall<>(
      method, arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr));
}

// The kinds of message the run cycles through; the last kind is random bytes.
std::vector<std::vector<uint8_t>> FixedMessages() {
  const EncodableValue map_argument(flutter::ValueMap{{"k", flutter::ValueList{1, "two", 3.0}}});
  std::vector<std::vector<uint8_t>> messages = {
      Call("getPlatformVersion", nullptr),
      Call("getPlatformVersion", &map_argument),
      Call("getBatteryLevel", nullptr),
      Call("", nullptr),
      {0x03, 0x01, 0x00, 0x00, 0x00},                         // not a call: an int32 first
      {},                                                     // empty
      {0x07, 0x12, 'g', 'e', 't'},                            // a name that runs out
      {0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},                   // declares 4 GiB
      {0x07, 0x01, 'm', 0x0D, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // an argument map of 4G entries
  };
  std::vector<uint8_t> deep = {0x07, 0x01, 'm'};  // nested far past the bound
  deep.resize(deep.size() + 4096, 0x0C);
  messages.push_back(deep);
  return messages;
}

std::atomic<long> live_blocks{0};

// The peak resident set of the process so far, in KiB, as the kernel reports it.
long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    ++live_blocks;
    return memory;
  }
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept {
  if (memory == nullptr) return;
  --live_blocks;
  std::free(memory);
}
void operator delete[](void* memory) noexcept { operator delete(memory); }
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
void operator delete[](void* memory, std::size_t) noexcept { operator delete(memory); }

int main(int argc, char** argv) {
  long total = 1000000;
  bool keep_diagnostics = false;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--messages" && i + 1 < argc) {
      total = std::strtol(argv[++i], nullptr, 10);
    } else if (word == "--keep-diagnostics") {
      keep_diagnostics = true;
    } else {
      std::fprintf(stderr, "usage: quorlax-soak [--messages N] [--keep-diagnostics]\n");
      return 2;
    }
  }
  if (total < kBatch) total = kBatch;
  // The malformed messages write diagnostic lines by the hundred thousand.
  if (!keep_diagnostics) {
    const int null_device = open("/dev/null", O_WRONLY);
    if (null_device >= 0) dup2(null_device, STDERR_FILENO);
  }

  const std::vector<std::vector<uint8_t>> fixed = FixedMessages();
  std::mt19937 random(20261211);
  long sent = 0;
  long answered_once = 0;
  long add_refs = 0;
  long releases = 0;
  long violations = 0;
  long success_envelopes = 0;
  long blocks_after_first_batch = 0;
  long most_blocks_between_batches = 0;
  const auto start = std::chrono::steady_clock::now();

  for (long batch = 0; sent < total; ++batch) {
    {
      engine_host::Engine engine;
      QuorlaxPluginCApiRegisterWithRegistrar(engine.CreateRegistrar(true));
      std::vector<uint8_t> noise;
      for (long i = 0; i < kBatch && sent < total; ++i, ++sent) {
        const std::size_t kind = static_cast<std::size_t>(sent) % (fixed.size() + 1);
        const std::vector<uint8_t>* message = &noise;
        if (kind < fixed.size()) {
          message = &fixed[kind];
        } else {
          noise.resize(random() % 64);
          for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
        }
        const engine_host::ResponseRecord response =
            *engine.Response(engine.Deliver("quorlax", *message));
        if (response.answered && response.attempts == 1 && !response.answered_by_engine) {
          ++answered_once;
        }
        if (!response.null_data) ++success_envelopes;
      }
      for (const engine_host::CallRecord& call : engine.Calls()) {
        if (call.function == "FlutterDesktopMessengerAddRef") ++add_refs;
        if (call.function == "FlutterDesktopMessengerRelease") ++releases;
      }
      violations += static_cast<long>(engine.Violations().size());
    }
    const long blocks = live_blocks.load();
    if (batch == 0) blocks_after_first_batch = blocks;
    if (blocks > most_blocks_between_batches) most_blocks_between_batches = blocks;
  }
  const long blocks_at_end = live_blocks.load();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // The module keeps no state per message or per torn-down registrar: nothing may be left over.
  const bool heap_flat = most_blocks_between_batches == blocks_after_first_batch &&
                         blocks_at_end == blocks_after_first_batch;
  std::printf("messages sent:               %ld (%.0f per second)\n", sent,
              static_cast<double>(sent) / seconds);
  std::printf("answered exactly once:       %ld\n", answered_once);
  std::printf("success envelopes:           %ld\n", success_envelopes);
  std::printf("FlutterDesktopMessengerAddRef: %ld, FlutterDesktopMessengerRelease: %ld\n", add_refs,
              releases);
  std::printf("engine protocol violations:  %ld\n", violations);
  std::printf("live heap blocks after batch 1: %ld; most between batches: %ld; at the end: %ld\n",
              blocks_after_first_batch, most_blocks_between_batches, blocks_at_end);
  std::printf("peak resident set:           %ld KiB\n", PeakResidentKiB());
  const bool ok =
      answered_once == sent && add_refs == sent && releases == sent && violations == 0 && heap_flat;
  std::printf("%s\n", ok ? "soak: ok" : "soak: FAILED");
  return ok ? 0 : 1;
}
