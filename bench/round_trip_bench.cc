// RoundTrip/getPlatformVersion: one message delivered through the stand-in engine to the module,
// registered through its export, and answered, as an application's call is.
//
// The time includes the stand-in engine's own work, which logs every call. The counter "allocs"
// is the module's heap allocations per round trip: every allocation, less what the engine alone
// allocates for the same exchange (measured first, with a bare callback that makes the module's
// engine calls with the module's answer). "engine_allocs" is that share.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/allocation_counter.h"
#include "binding/codec/standard_method_codec.h"
#include "engine_api/engine_api.h"
#include "platform/engine/engine_host.h"
#include "plugin/quorlax_plugin_c_api.h"

namespace quorlax_bench {
namespace {

// The engine keeps a record of each message; a fresh one every so often keeps memory flat.
constexpr int kMessagesPerEngine = 1 << 14;

// The module's answer, made once.
const std::vector<uint8_t>& VersionEnvelope() {
  static const std::vector<uint8_t> envelope = [] {
    const flutter::EncodableValue answer("Windows 10+");
    return *flutter::StandardMethodCodec::Instance().EncodeSuccess(&answer);
  }();
  return envelope;
}

// Makes the engine calls the module makes for one message, in its order, with its answer.
void AnswerLikeTheModule(FlutterDesktopMessengerRef messenger, const FlutterDesktopMessage* message,
                         void*) {
  FlutterDesktopMessengerRef reference = FlutterDesktopMessengerAddRef(messenger);
  FlutterDesktopMessengerRef lock = FlutterDesktopMessengerLock(reference);
  if (FlutterDesktopMessengerIsAvailable(reference)) {
    FlutterDesktopMessengerSendResponse(reference, message->response_handle,
                                        VersionEnvelope().data(), VersionEnvelope().size());
  }
  if (lock != nullptr) FlutterDesktopMessengerUnlock(lock);
  FlutterDesktopMessengerRelease(reference);
}

// Allocations per message of the engine alone.
double EngineAllocationsPerMessage(const std::vector<uint8_t>& call) {
  constexpr int kMessages = 4096;
  engine_host::Engine engine;
  FlutterDesktopMessengerSetCallback(engine.messenger(), "quorlax", AnswerLikeTheModule, nullptr);
  engine.Deliver("quorlax", call);  // the engine's first-use names and tables
  const uint64_t before = AllocationsSoFar();
  for (int i = 0; i < kMessages; ++i) engine.Deliver("quorlax", call);
  return static_cast<double>(AllocationsSoFar() - before) / kMessages;
}

void RoundTripGetPlatformVersion(benchmark::State& state) {
  const std::vector<uint8_t> call = *flutter::StandardMethodCodec::Instance().EncodeCall(
      flutter::MethodCall<>("getPlatformVersion", nullptr));
  const double engine_allocations = EngineAllocationsPerMessage(call);

  auto engine = std::make_unique<engine_host::Engine>();
  const auto registered = [&engine] {
    QuorlaxPluginCApiRegisterWithRegistrar(engine->CreateRegistrar(true));
  };
  registered();
  if (engine->Response(engine->Deliver("quorlax", call))->bytes != VersionEnvelope()) {
    state.SkipWithError("the module did not answer with the version envelope");
    return;
  }
  int messages = 0;
  uint64_t allocations = 0;
  uint64_t since = AllocationsSoFar();
  for (auto _ : state) {
    benchmark::DoNotOptimize(engine->Deliver("quorlax", call));
    if (++messages == kMessagesPerEngine) {
      state.PauseTiming();
      allocations += AllocationsSoFar() - since;
      engine = std::make_unique<engine_host::Engine>();
      registered();
      messages = 0;
      since = AllocationsSoFar();
      state.ResumeTiming();
    }
  }
  allocations += AllocationsSoFar() - since;
  const double per_message =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
  state.counters["allocs"] = per_message - engine_allocations;
  state.counters["engine_allocs"] = engine_allocations;
}

BENCHMARK(RoundTripGetPlatformVersion)->Name("RoundTrip/getPlatformVersion");

}  // namespace
}  // namespace quorlax_bench
