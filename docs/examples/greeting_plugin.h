// GreetingPlugin: the worked example of docs/architecture.md, a plugin written as QuorlaxPlugin
// is, with one method that reads an argument and can fail.
//
// On the channel "quorlax_example/greeting" it answers "getGreeting" with {"name": <string>} as
// its argument: "Hello, " followed by the name and "!". Any other argument gets the error
// "bad-argument"; every other method is answered as not implemented.
#ifndef QUORLAX_DOCS_EXAMPLES_GREETING_PLUGIN_H_
#define QUORLAX_DOCS_EXAMPLES_GREETING_PLUGIN_H_

#include <memory>

#include "binding/channel/method_call.h"
#include "binding/channel/method_result.h"
#include "binding/codec/encodable_value.h"
#include "binding/registrar/plugin.h"
#include "binding/registrar/plugin_registrar_windows.h"

namespace quorlax_example {

class GreetingPlugin final : public flutter::Plugin {
 public:
  // Creates the channel on the registrar's messenger, with the standard method codec, and a
  // plugin object that answers its calls; the registrar owns the plugin from then on, and the
  // messenger the channel's handler. `registrar` is borrowed. Call on the thread the engine
  // registers plugins on.
  static void RegisterWithRegistrar(flutter::PluginRegistrarWindows* registrar);

  GreetingPlugin() = default;
  ~GreetingPlugin() override = default;

  GreetingPlugin(const GreetingPlugin&) = delete;
  GreetingPlugin& operator=(const GreetingPlugin&) = delete;

  // Answers `result` exactly once before returning, on every path. The plugin has no state, so
  // any thread will do.
  void OnMethodCall(const flutter::MethodCall<flutter::EncodableValue>& call,
                    std::unique_ptr<flutter::MethodResult<flutter::EncodableValue>> result) const;
};

}  // namespace quorlax_example

#endif  // QUORLAX_DOCS_EXAMPLES_GREETING_PLUGIN_H_
