#include <gtest/gtest.h>

#include <cstring>

#include "platform/kernel32/simulated_version.h"
#include "plugin/windows_version.h"

namespace {

using kernel32_stand_in::WindowsVersion;

class SimulatedVersionTest : public testing::Test {
 protected:
  ~SimulatedVersionTest() override { kernel32_stand_in::SetSimulatedVersion(WindowsVersion()); }

  static bool AtLeast(uint32_t major, uint32_t minor, uint16_t service_pack) {
    OSVERSIONINFOEXW info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.wServicePackMajor = service_pack;
    uint64_t mask = VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              mask) != 0;
  }
};

TEST_F(SimulatedVersionTest, ConditionMaskHoldsThreeBitsPerType) {
  EXPECT_EQ(VerSetConditionMask(0, VER_MINORVERSION, VER_GREATER_EQUAL), 03u);
  EXPECT_EQ(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL), 030u);
  EXPECT_EQ(VerSetConditionMask(0, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL), 0300000u);
  EXPECT_EQ(VerSetConditionMask(0, VER_MAJORVERSION | VER_MINORVERSION, VER_EQUAL), 011u);
  EXPECT_EQ(VerSetConditionMask(07, 0, VER_EQUAL), 07u);  // no type: unchanged
}

TEST_F(SimulatedVersionTest, DefaultsToWindows10) {
  EXPECT_TRUE(AtLeast(10, 0, 0));
  EXPECT_FALSE(AtLeast(10, 1, 0));
  EXPECT_FALSE(AtLeast(10, 0, 1));
}

TEST_F(SimulatedVersionTest, ComparesMajorThenMinorThenServicePack) {
  kernel32_stand_in::SetSimulatedVersion({6, 1, 7601, 1, 0, 2});
  EXPECT_TRUE(AtLeast(6, 1, 1));
  EXPECT_TRUE(AtLeast(6, 0, 9));  // a higher minor outweighs any service pack
  EXPECT_TRUE(AtLeast(5, 9, 9));
  EXPECT_FALSE(AtLeast(6, 1, 2));
  EXPECT_FALSE(AtLeast(6, 2, 0));
  EXPECT_FALSE(AtLeast(7, 0, 0));
}

TEST_F(SimulatedVersionTest, UnaskableTestsFail) {
  OSVERSIONINFOEXW info;
  std::memset(&info, 0, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  EXPECT_EQ(VerifyVersionInfoW(&info, 0, 0), 0);                 // nothing asked
  EXPECT_EQ(VerifyVersionInfoW(&info, VER_MAJORVERSION, 0), 0);  // no condition
  EXPECT_EQ(
      VerifyVersionInfoW(&info, VER_SUITENAME, VerSetConditionMask(0, VER_SUITENAME, VER_AND)), 0);
  EXPECT_NE(VerifyVersionInfoW(&info, VER_MAJORVERSION,
                               VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER)),
            0);
}

}  // namespace
