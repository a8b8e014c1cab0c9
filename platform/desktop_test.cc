// Starting the opener: success and failure reported from its exit status or a
// failed start, and the target handed over as one unexpanded argument.
#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testing/test_support.h"

namespace zt {
namespace {

TEST(DesktopTest, ReportsWhetherTheOpenerSucceeded) {
  EXPECT_TRUE(OpenDocument("anything", "true"));
  EXPECT_FALSE(OpenDocument("anything", "false"));
  EXPECT_FALSE(OpenDocument("anything", "zentrope-no-such-opener"));
}

TEST(DesktopTest, PassesTheTargetWithoutAShell) {
  testing::TempDir dir;
  const auto out = dir.path() / "received";
  const auto script =
      dir.Write("opener", "#!/bin/sh\nprintf '%s' \"$1\" > '" + out.string() + "'\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const std::string target = "a b;$(touch x)`y` 'q'#t";
  ASSERT_TRUE(OpenDocument(target, script.string()));
  std::ifstream in(out);
  std::stringstream received;
  received << in.rdbuf();
  EXPECT_EQ(received.str(), target);
}

}  // namespace
}  // namespace zt
