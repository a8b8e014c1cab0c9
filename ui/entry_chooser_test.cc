// Tests of the entry chooser: it lists a file's entries with their titles,
// preselects the asked entry, and without a usable file starts on the first
// file of the kind in the kind's folder. Also the file dialog filters.
#include "ui/entry_chooser.h"

#include <gtest/gtest.h>

#include <QTreeWidget>

#include "document/settings/config_manager.h"
#include "testing/test_support.h"
#include "ui/file_filters.h"

namespace zt {
namespace {

using testing::TKeepValue;

constexpr const char* kGradients =
    "Warm {\ngradient:\n  title=\"Warm colors\" smooth=yes numnodes=1 index=0 color=255\n}\n\n"
    "Cold {\ngradient:\n  title=\"Cold colors\" smooth=yes numnodes=1 index=0 color=16711680\n}\n";

QStringList Column(const QTreeWidget& list, int column) {
  QStringList texts;
  for (int i = 0; i < list.topLevelItemCount(); ++i) texts << list.topLevelItem(i)->text(column);
  return texts;
}

TEST(EntryChooser, ListsNamesAndTitlesAndPreselectsTheEntry) {
  testing::TempDir dir;
  const std::string file = dir.Write("mine.zgr", kGradients).string();
  TEntryChooser chooser(TEntryBrowseKind::kGradient, file, "cold");
  EXPECT_EQ(Column(*chooser.EntryList(), 0), (QStringList{"Warm", "Cold"}));
  EXPECT_EQ(Column(*chooser.EntryList(), 1), (QStringList{"Warm colors", "Cold colors"}));
  ASSERT_TRUE(chooser.Choice().has_value());
  EXPECT_EQ(chooser.Choice()->FileName, file);
  EXPECT_EQ(chooser.Choice()->EntryName, "Cold");
}

TEST(EntryChooser, WithoutAUsableFileStartsOnTheFirstFileOfTheKind) {
  testing::TempDir dir;
  dir.Write("b.zgr", kGradients);
  const std::string first = dir.Write("A.ZGR", kGradients).string();
  dir.Write("0.zal", "");
  TKeepValue keep(ConfigManager().GradientDirectory);
  ConfigManager().GradientDirectory = dir.path().string() + "/";
  for (const std::string start : {"", "/no/such/file.zgr"}) {
    TEntryChooser chooser(TEntryBrowseKind::kGradient, start, "");
    EXPECT_EQ(chooser.FileName(), first);
    ASSERT_TRUE(chooser.Choice().has_value());
    EXPECT_EQ(chooser.Choice()->EntryName, "Warm");
  }
}

TEST(FileFilters, MatchTheExtensionsInEitherCase) {
  EXPECT_EQ(QtFilters("Parameter files (*.ZPR; *.PAR)|*.ZPR;*.PAR|JPEG image (*.JPG; "
                      "*.JPEG)|*.jpg;*.jpeg|All files (*.*)|*.*"),
            (QStringList{"Parameter files (*.ZPR *.zpr *.PAR *.par)",
                         "JPEG image (*.JPG *.jpg *.JPEG *.jpeg)", "All files (*)"}));
  EXPECT_EQ(QtFilters(kOpenFilters).size(), 9);
  EXPECT_EQ(QtFilters(kExportFilters).size(), 5);
}

}  // namespace
}  // namespace zt
