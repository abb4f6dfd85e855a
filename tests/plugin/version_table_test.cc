// The version answer over the stand-in kernel32's simulated versions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/kernel32/simulated_version.h"
#include "plugin/quorlax_plugin.h"
#include "tests/support/test_support.h"

namespace quorlax {
namespace {

using kernel32_stand_in::WindowsVersion;
using quorlax_test::RecordingResult;

class VersionTableTest : public testing::Test {
 protected:
  ~VersionTableTest() override { kernel32_stand_in::SetSimulatedVersion(WindowsVersion()); }
};

TEST_F(VersionTableTest, AnswerFollowsTheFirstTestThatPasses) {
  const struct {
    uint32_t major;
    uint32_t minor;
    uint16_t service_pack;
    const char* answer;
  } rows[] = {
      {10, 0, 0, "Windows 10+"}, {11, 0, 0, "Windows 10+"},  {10, 5, 3, "Windows 10+"},
      {6, 3, 0, "Windows 8"},    {6, 2, 0, "Windows 8"},     {6, 1, 0, "Windows 7"},
      {6, 1, 1, "Windows 7"},    {6, 1, 65535, "Windows 7"}, {6, 0, 0, "Windows "},
      {6, 0, 2, "Windows "},     {5, 1, 3, "Windows "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.major) + "." + std::to_string(row.minor) + " SP" +
                 std::to_string(row.service_pack));
    WindowsVersion version;
    version.major = row.major;
    version.minor = row.minor;
    version.service_pack_major = row.service_pack;
    kernel32_stand_in::SetSimulatedVersion(version);

    auto answers = std::make_shared<std::vector<RecordingResult::Answer>>();
    QuorlaxPlugin().OnMethodCall(flutter::MethodCall<>("getPlatformVersion", nullptr),
                                 std::make_unique<RecordingResult>(answers));
    ASSERT_EQ(answers->size(), 1u);
    EXPECT_EQ((*answers)[0].value.Get<std::string>(), row.answer);
  }
}

TEST_F(VersionTableTest, EachCallAsksAfresh) {
  EXPECT_TRUE(IsVersionAtLeast(10, 0, 0));
  kernel32_stand_in::SetSimulatedVersion({6, 1, 0, 0, 0, 2});
  EXPECT_FALSE(IsVersionAtLeast(10, 0, 0));
  EXPECT_TRUE(IsVersionAtLeast(6, 1, 0));
}

}  // namespace
}  // namespace quorlax
