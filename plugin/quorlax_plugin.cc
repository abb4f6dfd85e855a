#include "plugin/quorlax_plugin.h"

#include <cstring>
#include <string>
#include <utility>

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
  return VerifyVersionInfoW(&version_info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            condition_mask) != 0;
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
