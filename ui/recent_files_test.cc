// Tests of the recent-file list: newest first, no doubles, at most eight, and
// the same list after a save and a load.
#include "ui/recent_files.h"

#include <gtest/gtest.h>

#include "document/settings/registry_manager.h"
#include "testing/test_support.h"

namespace zt {
namespace {

TEST(RecentFiles, KeepsTheNewestEightOnceEachAcrossRuns) {
  TRecentFiles recent;
  for (int i = 0; i < 10; ++i) recent.Add("/f" + std::to_string(i));
  recent.Add("/f5");
  recent.Remove("/f9");
  const std::vector<std::string> expected = {"/f5", "/f8", "/f7", "/f6", "/f4", "/f3", "/f2"};
  EXPECT_EQ(recent.Files(), expected);

  testing::TempDir dir;
  {
    TRegistryManager store(dir.path());
    recent.Save(store);
    ASSERT_TRUE(store.Flush());
  }
  TRegistryManager store(dir.path());
  TRecentFiles loaded;
  loaded.Add("/stale");
  loaded.Load(store);
  EXPECT_EQ(loaded.Files(), expected);
}

}  // namespace
}  // namespace zt
