// The option pages name real settings, cover every setting a person sets, and
// give each page rows.
#include "ui/option_pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "document/settings/config_manager.h"
#include "testing/test_support.h"

namespace zt {
namespace {

TEST(OptionPages, CoverEverySettingAPersonSets) {
  testing::TempDir dir;
  TConfigManager config(dir.path());
  std::set<std::string> described;
  for (const TSettingInfo& info : config.Describe()) described.insert(info.Key);

  std::set<std::string> shown;
  std::set<std::string> pages;
  for (const TOptionRow& row : OptionRows()) {
    pages.insert(row.Page);
    if (row.Key == nullptr) continue;
    EXPECT_TRUE(described.count(row.Key)) << row.Key;
    EXPECT_TRUE(shown.insert(row.Key).second) << row.Key << " shown twice";
    if (row.Kind == TOptionKind::kChoice) {
      EXPECT_NE(row.Choices, nullptr) << row.Key;
    }
  }
  // The Open dialog remembers its filter itself.
  described.erase("OpenFormat");
  EXPECT_EQ(shown, described);
  EXPECT_EQ(pages.size(), std::size(kOptionPages));
}

}  // namespace
}  // namespace zt
