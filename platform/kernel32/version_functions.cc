// VerSetConditionMask and VerifyVersionInfoW with the semantics of the real functions, over the
// simulated version:
// - the condition mask holds a 3-bit condition per type bit, at three times the bit's index;
// - major, minor, service-pack major and service-pack minor are compared as one hierarchy (the
//   most significant of those asked for decides, the others break ties), under the condition of
//   the most significant one asked for;
// - build number and platform id are compared on their own;
// - suite and product type are not simulated: asking for them fails the test.
// A type mask of 0, or a type asked for without a condition, fails the test too.
#include <cstdint>
#include <mutex>

#include "platform/kernel32/simulated_version.h"
#include "plugin/windows_version.h"

namespace kernel32_stand_in {
namespace {

std::mutex& VersionMutex() {
  static std::mutex mutex;
  return mutex;
}

WindowsVersion& StoredVersion() {
  static WindowsVersion version;
  return version;
}

unsigned ConditionFor(uint64_t condition_mask, unsigned type_bit_index) {
  return static_cast<unsigned>((condition_mask >> (3 * type_bit_index)) & 0x7);
}

// Three-way comparison of the system's value with the asked one, lexicographic over the fields.
int Compare(const uint32_t* system, const uint32_t* asked, int count) {
  for (int i = 0; i < count; ++i) {
    if (system[i] != asked[i]) return system[i] < asked[i] ? -1 : 1;
  }
  return 0;
}

bool Holds(unsigned condition, int comparison, bool* valid) {
  switch (condition) {
    case VER_EQUAL:
      return comparison == 0;
    case VER_GREATER:
      return comparison > 0;
    case VER_GREATER_EQUAL:
      return comparison >= 0;
    case VER_LESS:
      return comparison < 0;
    case VER_LESS_EQUAL:
      return comparison <= 0;
    default:
      *valid = false;
      return false;
  }
}

}  // namespace

void SetSimulatedVersion(const WindowsVersion& version) {
  std::lock_guard<std::mutex> lock(VersionMutex());
  StoredVersion() = version;
}

WindowsVersion SimulatedVersion() {
  std::lock_guard<std::mutex> lock(VersionMutex());
  return StoredVersion();
}

}  // namespace kernel32_stand_in

extern "C" {

uint64_t VerSetConditionMask(uint64_t condition_mask, uint32_t type_mask, uint8_t condition) {
  if (type_mask == 0 || condition == 0) return condition_mask;
  const uint64_t bits = condition & 0x7u;
  for (unsigned index = 0; index < 8; ++index) {
    if (type_mask & (1u << index)) condition_mask |= bits << (3 * index);
  }
  return condition_mask;
}

int VerifyVersionInfoW(OSVERSIONINFOEXW* version_info, uint32_t type_mask,
                       uint64_t condition_mask) {
  using kernel32_stand_in::ConditionFor;
  if (version_info == nullptr || type_mask == 0) return 0;
  if (type_mask & (VER_SUITENAME | VER_PRODUCT_TYPE)) return 0;
  const kernel32_stand_in::WindowsVersion system = kernel32_stand_in::SimulatedVersion();
  bool valid = true;

  // Type bit indices, most significant first, of the version hierarchy.
  const unsigned hierarchy_bits[] = {1 /* major */, 0 /* minor */, 5 /* sp major */,
                                     4 /* sp minor */};
  const uint32_t system_fields[] = {system.major, system.minor, system.service_pack_major,
                                    system.service_pack_minor};
  const uint32_t asked_fields[] = {version_info->dwMajorVersion, version_info->dwMinorVersion,
                                   version_info->wServicePackMajor,
                                   version_info->wServicePackMinor};
  uint32_t system_asked[4];
  uint32_t asked[4];
  int count = 0;
  unsigned hierarchy_condition = 0;
  for (int i = 0; i < 4; ++i) {
    if (!(type_mask & (1u << hierarchy_bits[i]))) continue;
    const unsigned condition = ConditionFor(condition_mask, hierarchy_bits[i]);
    if (condition == 0) return 0;
    if (count == 0) hierarchy_condition = condition;
    system_asked[count] = system_fields[i];
    asked[count] = asked_fields[i];
    ++count;
  }
  if (count > 0 &&
      !kernel32_stand_in::Holds(hierarchy_condition,
                                kernel32_stand_in::Compare(system_asked, asked, count), &valid)) {
    return 0;
  }

  const struct {
    unsigned bit_index;
    uint32_t system_value;
    uint32_t asked_value;
  } singles[] = {{2, system.build, version_info->dwBuildNumber},
                 {3, system.platform_id, version_info->dwPlatformId}};
  for (const auto& single : singles) {
    if (!(type_mask & (1u << single.bit_index))) continue;
    const unsigned condition = ConditionFor(condition_mask, single.bit_index);
    if (!kernel32_stand_in::Holds(
            condition, kernel32_stand_in::Compare(&single.system_value, &single.asked_value, 1),
            &valid)) {
      return 0;
    }
  }
  return valid ? 1 : 0;
}

}  // extern "C"
