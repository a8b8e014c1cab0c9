// Tests of the collection files the entry browser shows: the kind's files as a
// tree, the entries with titles and texts, and the choice it starts on.
#include "ui/entry_files.h"

#include <gtest/gtest.h>

#include "document/settings/config_manager.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::TKeepValue;

constexpr const char* kGradients =
    "Warm {\ngradient:\n  title=\"Warm colors\" smooth=yes numnodes=1 index=0 color=255\n}\n\n"
    "Cold { ; cool\ngradient:\n  title=\"Cold colors\" smooth=yes numnodes=1 index=0 "
    "color=16711680\n}\n";

std::string Dump(const TFolderNode& node) {
  std::string dump = node.Name;
  if (!node.Folder) return dump;
  dump += "[";
  for (size_t i = 0; i < node.Children.size(); ++i) dump += (i ? " " : "") + Dump(node.Children[i]);
  return dump + "]";
}

TEST(EntryFilesTest, TheKindsFilesAsATree) {
  testing::TempDir dir;
  for (const char* name : {"b.zgr", "A.ZGR", "x/y/c.zgr", "empty/d.zal", "x/e.txt", "z.zal"})
    dir.Write(name, "");
  const std::string folder = dir.path().string() + "/";
  const std::string root = dir.path().filename().string();
  EXPECT_EQ(Dump(KindFolderTree(TEntryBrowseKind::kGradient, folder)),
            root + "[x[y[c.zgr]] A.ZGR b.zgr]");
  EXPECT_EQ(Dump(KindFolderTree(TEntryBrowseKind::kAlphaChannel, folder)),
            root + "[empty[d.zal] z.zal]");
  EXPECT_TRUE(IsFileOfKind(TEntryBrowseKind::kParameters, "a/set.Par"));
  EXPECT_FALSE(IsFileOfKind(TEntryBrowseKind::kParameters, "a/set.zpr.bak"));
}

TEST(EntryFilesTest, ListsEntriesWithTitlesAndTexts) {
  testing::TempDir dir;
  const std::string file = dir.Write("mine.zgr", kGradients).string();
  const std::vector<TEntryListing> entries = ListEntries(TEntryBrowseKind::kGradient, file);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].Name, "Cold");
  EXPECT_EQ(entries[1].Title, "Cold colors");
  EXPECT_EQ(EntryText(file, entries[1]),
            "Cold { ; cool\ngradient:\n  title=\"Cold colors\" smooth=yes numnodes=1 index=0 "
            "color=16711680\n}");
  EXPECT_EQ(testing::ErrorMessageOf([] { ListEntries(TEntryBrowseKind::kGradient, "/no/file"); }),
            "Could not open '/no/file'");
}

TEST(EntryFilesTest, StartsOnTheAskedEntryElseTheFirstOfTheFirstFile) {
  testing::TempDir dir;
  const std::string second = dir.Write("b.zgr", kGradients).string();
  const std::string first = dir.Write("A.ZGR", kGradients).string();
  dir.Write("0.zal", "");
  TKeepValue keep(ConfigManager().GradientDirectory);
  ConfigManager().GradientDirectory = dir.path().string() + "/";
  const struct {
    std::string File, Entry, ChosenFile, ChosenEntry;
  } rows[] = {
      {second, "cold", second, "Cold"},
      {second, "gone", second, "Warm"},
      {"", "", first, "Warm"},
      {"/no/such/file.zgr", "Cold", first, "Cold"},
  };
  for (const auto& row : rows) {
    const auto choice = InitialEntryChoice(TEntryBrowseKind::kGradient, row.File, row.Entry);
    ASSERT_TRUE(choice.has_value()) << row.File;
    EXPECT_EQ(choice->FileName, row.ChosenFile);
    EXPECT_EQ(choice->EntryName, row.ChosenEntry);
  }
  EXPECT_FALSE(InitialEntryChoice(TEntryBrowseKind::kAlphaChannel, "", "").has_value());
}

}  // namespace
}  // namespace zt
