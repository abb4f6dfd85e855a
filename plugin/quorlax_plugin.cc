#include "plugin/quorlax_plugin.h"

#include <cstring>
#include <string>
#include <utility>

#include "binding/channel/method_call_channel.h"
#include "binding/codec/standard_method_codec.h"
#include "plugin/windows_version.h"

namespace quorlax {

bool IsVersionAtLeast(uint16_t major, uint16_t minor, uint16_t service_pack_major) {
  OSVERSIONINFOEXW version_info;
  std::memset(&version_info, 0, sizeof(version_info));
  version_info.dwOSVersionInfoSize = sizeof(version_info);
  version_info.dwMajorVersion = major;
  version_info.dwMinorVersion = minor;
  version_info.wServicePackMajor = service_pack_major;

  uint64_t condition_mask = 0;
  condition_mask = VerSetConditionMask(condition_mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition_mask = VerSetConditionMask(condition_mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  condition_mask = VerSetConditionMask(condition_mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&version_info,
                            VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            condition_mask) != 0;
}

void QuorlaxPlugin::RegisterWithRegistrar(flutter::PluginRegistrarWindows* registrar) {
  const flutter::StandardMethodCodec& codec = flutter::StandardMethodCodec::Instance();
  const auto channel = std::make_unique<flutter::MethodCallChannel<flutter::EncodableValue>>(
      registrar->GetMessenger(), "quorlax", &codec);
  auto plugin = std::make_unique<QuorlaxPlugin>();
  QuorlaxPlugin* const plugin_object = plugin.get();
  // Adopted before its handler is installed, so that a failure on the way cannot leave a handler
  // that points at a plugin nobody owns. The registrar owns both the plugin and the messenger that
  // keeps the handler, so the plugin outlives every call the handler forwards.
  registrar->AdoptPlugin(std::move(plugin));
  channel->SetCallHandler(
      [plugin_object](const flutter::MethodCall<flutter::EncodableValue>& call,
                      std::unique_ptr<flutter::MethodResult<flutter::EncodableValue>> result) {
        plugin_object->OnMethodCall(call, std::move(result));
      });
}

void QuorlaxPlugin::OnMethodCall(
    const flutter::MethodCall<flutter::EncodableValue>& call,
    std::unique_ptr<flutter::MethodResult<flutter::EncodableValue>> result) const {
  if (call.MethodName() != "getPlatformVersion") {
    result->NotImplemented();
    return;
  }
  std::string version = "Windows ";
  if (IsVersionAtLeast(10, 0, 0)) {
    version += "10+";
  } else if (IsVersionAtLeast(6, 2, 0)) {
    version += "8";
  } else if (IsVersionAtLeast(6, 1, 0)) {
    version += "7";
  }
  result->Success(flutter::EncodableValue(std::move(version)));
}

}  // namespace quorlax
