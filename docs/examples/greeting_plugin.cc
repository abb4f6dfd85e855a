#include "docs/examples/greeting_plugin.h"

#include <string>
#include <utility>

#include "binding/channel/method_call_channel.h"
#include "binding/codec/standard_method_codec.h"

namespace quorlax_example {
namespace {

// The "name" string of a getGreeting argument, or null when the argument is not a map with one.
// GetIf, not Get: Get throws on the wrong alternative, and a handler that throws leaves the
// caller an empty response and a diagnostic line in place of the error it should have had.
const std::string* NameArgument(const flutter::EncodableValue* arguments) {
  const auto* map = arguments != nullptr ? arguments->GetIf<flutter::ValueMap>() : nullptr;
  if (map == nullptr) return nullptr;
  const auto entry = map->find(flutter::EncodableValue("name"));
  return entry != map->end() ? entry->second.GetIf<std::string>() : nullptr;
}

}  // namespace

void GreetingPlugin::RegisterWithRegistrar(flutter::PluginRegistrarWindows* registrar) {
  const flutter::MethodCallChannel<flutter::EncodableValue> channel(
      registrar->GetMessenger(), "quorlax_example/greeting",
      &flutter::StandardMethodCodec::Instance());
  auto plugin = std::make_unique<GreetingPlugin>();
  const GreetingPlugin* plugin_object = plugin.get();
  // Adopted before the handler exists: should adoption fail, it destroys the plugin, and no
  // handler may then be left holding its address.
  registrar->AdoptPlugin(std::move(plugin));
  channel.SetCallHandler(
      [plugin_object](const flutter::MethodCall<flutter::EncodableValue>& call,
                      std::unique_ptr<flutter::MethodResult<flutter::EncodableValue>> result) {
        plugin_object->OnMethodCall(call, std::move(result));
      });
}

void GreetingPlugin::OnMethodCall(
    const flutter::MethodCall<flutter::EncodableValue>& call,
    std::unique_ptr<flutter::MethodResult<flutter::EncodableValue>> result) const {
  if (call.MethodName() != "getGreeting") {
    result->NotImplemented();
    return;
  }
  const std::string* name = NameArgument(call.Arguments());
  if (name == nullptr) {
    result->Error("bad-argument", "getGreeting takes a map with a string under \"name\"");
    return;
  }
  result->Success(flutter::EncodableValue("Hello, " + *name + "!"));
}

}  // namespace quorlax_example
