// Tests of the gradient and alpha channel sections and of their entry files.
#include "document/params/gradient_section.h"

#include <gtest/gtest.h>

#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;

std::string GradientText(TGradient& gradient, const std::string* title) {
  TParWriter w("G");
  WriteGradient(w, gradient, title);
  w.Close();
  return w.Text();
}

TEST(GradientSection, NodesReadBeforeAnErrorStay) {
  TParReader r;
  r.LoadFromText("G {\ngradient:\n numnodes=3 index=5 color=255 index=9\n}");
  std::string key;
  r.ReadKey(key);
  TGradient gradient;
  EXPECT_EQ(ErrorMessageOf([&] { ReadGradient(r, gradient); }), "Invalid file format (line 4)");
  ASSERT_EQ(gradient.Count(), 1);
  EXPECT_EQ(gradient.First()->Index, 5);
}

std::string Points(const TGradient& g) {
  std::string text;
  for (const TGradientPoint* p = g.First(); p; p = p->Next)
    text += std::to_string(p->Index) + ":" + std::to_string(p->Color.Red >> 4) + "," +
            std::to_string(p->Color.Green >> 4) + "," + std::to_string(p->Color.Blue >> 4) + " ";
  return text;
}

TEST(GradientSection, InitialGradientFromAnEntryOrNone) {
  const testing::TempDir dir;
  const auto broken =
      dir.Write("broken.zgr", "Bad {\ngradient:\n  numnodes=2 index=0 color=255\n}\n");
  const std::string built_in = "0:0,0,255 100:255,255,255 200:255,255,0 300:255,0,0 ";
  const struct {
    std::string File, Entry;
    bool Loaded;
    std::string Points;
  } cases[] = {
      // A file name without folder is looked up in the program's folder.
      {"Standard.zgr", "Fire", true,
       "0:0,0,0 70:128,0,0 150:255,64,0 230:255,160,0 300:255,255,180 360:96,0,0 "},
      {"Standard.zgr", "", false, built_in},
      {"Standard.zgr", "NoSuchEntry", false, built_in},
      // Read half-way before the error: the gradient stays as it was.
      {broken.string(), "Bad", false, built_in},
  };
  for (const auto& c : cases) {
    TGradient g;
    EXPECT_EQ(LoadInitialGradient(c.File, c.Entry, g), c.Loaded) << c.Entry;
    EXPECT_EQ(Points(g), c.Points) << c.Entry;
    EXPECT_FALSE(g.Modified());
    EXPECT_FALSE(g.History().CanUndo());
  }
}

class EntryFiles : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  std::string file_ = (dir_.path() / "Mine.zgr").string();
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(EntryFiles, SaveAskOverwriteOrTakeAUniqueName) {
  TGradient gradient;
  ASSERT_TRUE(SaveGradientEntry(file_, gradient, "my fire"));
  gradient.Invert();
  ui_.QueueAnswer(TAnswer::kNo);
  ASSERT_TRUE(SaveGradientEntry(file_, gradient, "my fire"));
  ui_.QueueAnswer(TAnswer::kCancel);
  EXPECT_FALSE(SaveGradientEntry(file_, gradient, "my fire"));
  ui_.QueueAnswer(TAnswer::kYes);
  TGradient other;
  other.Reverse();
  ASSERT_TRUE(SaveGradientEntry(file_, other, "my fire"));

  const auto records = ui_.Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Text, "The entry 'myFire' already exists. \rDo you want to overwrite it?");

  TGradient loaded;
  EXPECT_EQ(LoadGradientEntry(file_, "myFire1", loaded), "my fire");
  EXPECT_EQ(GradientText(loaded, nullptr), GradientText(gradient, nullptr));
  EXPECT_EQ(LoadGradientEntry(file_, "myFire", loaded), "my fire");
  EXPECT_EQ(GradientText(loaded, nullptr), GradientText(other, nullptr));
  // The overwritten entry went away and its replacement came at the end.
  const std::string text = testing::ReadFile(file_);
  EXPECT_LT(text.find("myFire1 {"), text.find("myFire {"));
  EXPECT_EQ(text.find("myFire {"), text.rfind("myFire {"));
}

TEST_F(EntryFiles, AlphaChannelEntryAndWrongSection) {
  TAlphaChannel alpha;
  alpha.InsertPoint(200, 0);
  ASSERT_TRUE(SaveAlphaChannelEntry(file_, alpha, "Fade"));
  EXPECT_EQ(testing::ReadFile(file_),
            "Fade {\r\nalpha:\r\n  title=\"Fade\" smooth=yes numnodes=2 index=0 alpha=255 "
            "index=200 alpha=0\r\n"
            "}\r\n");
  TAlphaChannel loaded;
  EXPECT_EQ(LoadAlphaChannelEntry(file_, "fade", loaded), "Fade");
  EXPECT_EQ(loaded.Count(), 2);
  EXPECT_TRUE(loaded.Transparent());
  TGradient gradient;
  EXPECT_EQ(ErrorMessageOf([&] { LoadGradientEntry(file_, "Fade", gradient); }),
            "Invalid file format (line 2)");
  EXPECT_EQ(ErrorMessageOf([&] { LoadGradientEntry(file_, "Gone", gradient); }),
            "Could not find the entry 'Gone' in '" + file_ + "'");
}

}  // namespace
}  // namespace zt
