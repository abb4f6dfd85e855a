// The three version tests against the real kernel32, under the Windows version of this test's
// Wine prefix. The executable embeds the Windows 10 compatibility manifest.
#include <gtest/gtest.h>

#include <string>

#include "plugin/quorlax_plugin.h"
#include "tests/plugin/version_answer.h"

namespace quorlax {
namespace {

TEST(VersionUnderWineTest, TestsPassAsTheReportedVersionSays) {
  const struct {
    const char* wine;
    bool ten;
    bool eight;
    bool seven;
  } rows[] = {{"win10", true, true, true},
              {"win81", false, true, true},
              {"win8", false, true, true},
              {"win7", false, false, true},
              {"vista", false, false, false}};
  const std::string wine = quorlax_test::WineVersion();
  for (const auto& row : rows) {
    if (wine != row.wine) continue;
    EXPECT_EQ(IsVersionAtLeast(10, 0, 0), row.ten);
    EXPECT_EQ(IsVersionAtLeast(6, 2, 0), row.eight);
    EXPECT_EQ(IsVersionAtLeast(6, 1, 0), row.seven);
    return;
  }
  FAIL() << "unknown Wine version " << wine;
}

}  // namespace
}  // namespace quorlax
