// Stand-in for kernel32's VerSetConditionMask and VerifyVersionInfoW on systems other than
// Windows, answering for a simulated Windows version that a host or a test sets.
//
// The functions themselves are declared by plugin/windows_version.h, as the module sees them.
// This header is the host's side: choosing what the "system" reports.
#ifndef QUORLAX_PLATFORM_KERNEL32_SIMULATED_VERSION_H_
#define QUORLAX_PLATFORM_KERNEL32_SIMULATED_VERSION_H_

#include <cstdint>

#if defined(__GNUC__)
#define QUORLAX_KERNEL32_EXPORT __attribute__((visibility("default")))
#else
#define QUORLAX_KERNEL32_EXPORT
#endif

namespace kernel32_stand_in {

struct WindowsVersion {
  uint32_t major = 10;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint16_t service_pack_major = 0;
  uint16_t service_pack_minor = 0;
  uint32_t platform_id = 2;  // VER_PLATFORM_WIN32_NT
};

// The version VerifyVersionInfoW compares against; 10.0, service pack 0, until set. Safe to call
// from any thread; a concurrent VerifyVersionInfoW sees the old or the new version, whole.
QUORLAX_KERNEL32_EXPORT void SetSimulatedVersion(const WindowsVersion& version);
QUORLAX_KERNEL32_EXPORT WindowsVersion SimulatedVersion();

}  // namespace kernel32_stand_in

#endif  // QUORLAX_PLATFORM_KERNEL32_SIMULATED_VERSION_H_
