// QuorlaxPlugin: answers the method calls on the channel "quorlax".
//
// It knows one method, "getPlatformVersion", answered with "Windows " followed by "10+", "8" or
// "7", after the first version test that the running system passes, or "Windows " alone when none
// passes. Every other method is answered as not implemented.
#ifndef QUORLAX_PLUGIN_QUORLAX_PLUGIN_H_
#define QUORLAX_PLUGIN_QUORLAX_PLUGIN_H_

#include <cstdint>
#include <memory>

#include "binding/channel/method_call.h"
#include "binding/channel/method_result.h"
#include "binding/codec/encodable_value.h"
#include "binding/registrar/plugin.h"
#include "binding/registrar/plugin_registrar_windows.h"

namespace quorlax {

class QuorlaxPlugin final : public flutter::Plugin {
 public:
  // Creates the channel "quorlax" on the registrar's messenger, with the standard method codec,
  // and a plugin object that answers its calls; the registrar owns the plugin from then on, and
  // the messenger the channel's handler. Registering again on the same registrar makes a second
  // plugin, whose handler replaces the first one's. `registrar` is borrowed.
  static void RegisterWithRegistrar(flutter::PluginRegistrarWindows* registrar);

  QuorlaxPlugin() = default;
  ~QuorlaxPlugin() override = default;

  QuorlaxPlugin(const QuorlaxPlugin&) = delete;
  QuorlaxPlugin& operator=(const QuorlaxPlugin&) = delete;

  // Answers `result` exactly once before returning. The arguments are never read, and the version
  // tests run afresh on every call. Runs on whichever thread the channel dispatches on; the plugin
  // has no state, so any thread will do.
  void OnMethodCall(const flutter::MethodCall<flutter::EncodableValue>& call,
                    std::unique_ptr<flutter::MethodResult<flutter::EncodableValue>> result) const;
};

// True when the running system reports at least major.minor with at least the given service-pack
// major number. A test the system cannot answer counts as not passed.
bool IsVersionAtLeast(uint16_t major, uint16_t minor, uint16_t service_pack_major);

}  // namespace quorlax

#endif  // QUORLAX_PLUGIN_QUORLAX_PLUGIN_H_
