// Any bytes as a message on the channel "quorlax", delivered through the stand-in engine to the
// module, registered through its export.
//
// Whatever arrives, the message gets exactly one response, the messenger reference it took is
// given back, and the engine sees no protocol violation. A call of "getPlatformVersion" (a string
// first, which decodes) is answered with a success envelope; anything else with the empty
// response.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "fuzz/fuzz_support.h"
#include "platform/engine/engine_host.h"
#include "plugin/quorlax_plugin_c_api.h"

namespace {

// The engine keeps a record of every message it delivers; a fresh engine (and with it a fresh
// registration and teardown) every so often keeps a long run's memory flat.
constexpr int kMessagesPerEngine = 4096;

struct Session {
  Session() { QuorlaxPluginCApiRegisterWithRegistrar(engine.CreateRegistrar(true)); }
  engine_host::Engine engine;
  int messages = 0;
};

std::unique_ptr<Session> session;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (session == nullptr || session->messages == kMessagesPerEngine) {
    session.reset();
    session = std::make_unique<Session>();
  }
  ++session->messages;
  engine_host::Engine& engine = session->engine;
  const quorlax_fuzz::OddCopy input(data, size);
  const std::optional<engine_host::ResponseRecord> response =
      engine.Response(engine.Deliver("quorlax", input.data(), input.size()));
  QUORLAX_FUZZ_REQUIRE(response.has_value());
  QUORLAX_FUZZ_REQUIRE(response->answered && !response->answered_by_engine);
  QUORLAX_FUZZ_REQUIRE(response->attempts == 1);
  // Only a success envelope holding a string is ever sent, or nothing at all.
  QUORLAX_FUZZ_REQUIRE(
      response->null_data ||
      (response->bytes.size() >= 3 && response->bytes[0] == 0x00 && response->bytes[1] == 0x07));
  QUORLAX_FUZZ_REQUIRE(engine.MessengerReferences() == 0);
  QUORLAX_FUZZ_REQUIRE(engine.Violations().empty());
  engine.ClearCalls();
  return 0;
}
