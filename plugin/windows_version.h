// The two Windows version functions the plugin asks, with the record they take.
//
// On Windows they are kernel32's, declared by <windows.h>. Elsewhere the module declares them
// here with the same C shapes and imports them from a library of its host's choosing (the
// stand-in in platform/kernel32 for tests and the host program); the module never contains them.
#ifndef QUORLAX_PLUGIN_WINDOWS_VERSION_H_
#define QUORLAX_PLUGIN_WINDOWS_VERSION_H_

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

#include <stdint.h>

#if defined(QUORLAX_VERSION_IMPLEMENTATION) && defined(__GNUC__)
#define QUORLAX_VERSION_EXPORT __attribute__((visibility("default")))
#else
#define QUORLAX_VERSION_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// The Windows OSVERSIONINFOEXW record: 284 bytes.
typedef struct {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  uint16_t szCSDVersion[128];
  uint16_t wServicePackMajor;
  uint16_t wServicePackMinor;
  uint16_t wSuiteMask;
  uint8_t wProductType;
  uint8_t wReserved;
} OSVERSIONINFOEXW;

// Type bits.
#define VER_MINORVERSION 0x0000001
#define VER_MAJORVERSION 0x0000002
#define VER_BUILDNUMBER 0x0000004
#define VER_PLATFORMID 0x0000008
#define VER_SERVICEPACKMINOR 0x0000010
#define VER_SERVICEPACKMAJOR 0x0000020
#define VER_SUITENAME 0x0000040
#define VER_PRODUCT_TYPE 0x0000080

// Conditions.
#define VER_EQUAL 1
#define VER_GREATER 2
#define VER_GREATER_EQUAL 3
#define VER_LESS 4
#define VER_LESS_EQUAL 5
#define VER_AND 6
#define VER_OR 7

QUORLAX_VERSION_EXPORT uint64_t VerSetConditionMask(uint64_t condition_mask, uint32_t type_mask,
                                                    uint8_t condition);
QUORLAX_VERSION_EXPORT int VerifyVersionInfoW(OSVERSIONINFOEXW* version_info, uint32_t type_mask,
                                              uint64_t condition_mask);

#ifdef __cplusplus
}  // extern "C"
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW is 284 bytes");
#endif

#endif  // _WIN32

#endif  // QUORLAX_PLUGIN_WINDOWS_VERSION_H_
