// Tests of the gradient: editing, rebuilds, rotation, undo and MAP import.
#include "color/gradient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "platform/random.h"
#include "testing/test_support.h"

namespace zt {
namespace {

const TRGB12 kRed{4095, 0, 0};
const TRGB12 kBlue{0, 0, 4095};

std::string Points(const TGradient& g) {
  std::string text;
  for (const TGradientPoint* p = g.First(); p; p = p->Next) {
    text += std::to_string(p->Index) + ":" + std::to_string(p->Color.Red >> 4) + "," +
            std::to_string(p->Color.Green >> 4) + "," + std::to_string(p->Color.Blue >> 4) + " ";
  }
  return text;
}

// A gradient of `points` in linear mode.
void Make(TGradient& g, std::initializer_list<std::pair<int, TRGB12>> points, bool smooth) {
  g.BeginUpdate();
  g.Clear();
  for (const auto& [index, color] : points) g.InsertPoint(index, color);
  g.SetSmooth(smooth);
  g.EndUpdate();
}

TEST(GradientTest, DefaultGradientAndMissingTables) {
  TGradient g;
  EXPECT_EQ(Points(g), "0:0,0,255 100:255,255,255 200:255,255,0 300:255,0,0 ");
  EXPECT_TRUE(g.Smooth());
  EXPECT_FALSE(g.Modified());
  EXPECT_EQ(g.ConvertTable()[100 * 128].Red, 255);
  TColorEntry table[1];
  EXPECT_EQ(testing::ErrorMessageOf([&] { TGradient none(nullptr, table); }),
            "Convert table does not exist");
  EXPECT_EQ(testing::ErrorMessageOf([&] { TGradient none(table, nullptr); }),
            "Temporary table does not exist");
}

TEST(GradientTest, EditingRules) {
  TGradient g;
  Make(g, {{0, kBlue}, {100, kRed}, {200, kBlue}}, false);
  // Inserting on an occupied index recolors it.
  TGradientPoint* p = g.InsertPoint(100, kBlue);
  EXPECT_EQ(g.Count(), 3);
  EXPECT_EQ(p->Color, kBlue);
  // Moving stops one short of the neighbour.
  g.MovePoint(p, 250, kRed);
  EXPECT_EQ(p->Index, 199);
  g.MovePoint(p, 0, kRed);
  EXPECT_EQ(p->Index, 1);
  EXPECT_EQ(p->Hsl, RGB12ToHSL(kRed));
  g.MovePointHSL(p, 50, {120, 255, 128});
  EXPECT_EQ(p->Color, (TRGB12{16, 4095, 16}));  // luminance 128 is just above one half
  // Index 400 and a missing point: AlphaChannelTest.ChecksComeInOrder (the same ring).
  EXPECT_EQ(testing::ErrorMessageOf([&] { g.MovePoint(p, -1, kRed); }),
            "Control point index out of range");
  TGradient other;
  EXPECT_EQ(testing::ErrorMessageOf([&] { g.DeletePoint(other.First()); }),
            "Specified control point does not exist");
  g.Reverse();
  EXPECT_EQ(Points(g), "199:0,0,255 349:1,255,1 399:0,0,255 ");
  g.Invert();
  EXPECT_EQ(Points(g), "199:255,255,0 349:254,0,254 399:255,255,0 ");
}

TEST(GradientTest, DeletingAndSelecting) {
  TGradient g;
  g.SelectAll();
  g.DeleteSelected();
  EXPECT_EQ(Points(g), "0:0,0,0 ");
  EXPECT_EQ(g.Current(), g.First());
  g.DeletePoint(g.First());
  EXPECT_EQ(Points(g), "0:0,0,0 ");
  TGradientPoint* a = g.InsertPoint(10, kRed);
  g.SetCurrent(a);
  EXPECT_TRUE(a->Selected);
  EXPECT_FALSE(g.First()->Selected);
  g.DeletePoint(a);
  EXPECT_EQ(g.Current(), g.First());
  EXPECT_EQ(g.Count(), 1);
  // Deleting the current point first must not lose the rest of the selection.
  TGradient h;
  h.SetCurrent(h.First()->Next);
  h.SelectPoint(h.Last(), true);
  h.DeleteSelected();
  EXPECT_EQ(Points(h), "0:0,0,255 200:255,255,0 ");
}

// An empty ring clears the color bytes, one point fills them with its color; the
// opacity bytes belong to the alpha channel and stay.
TEST(GradientTest, RingsWithoutSegmentsFillTheTableWithOneColor) {
  for (bool one_point : {false, true}) {
    for (bool smooth : {false, true}) {
      TGradient g;
      ASSERT_EQ(g.ConvertTable()[0].Blue, 255);
      g.ConvertTable()[0].Opacity = 77;
      if (one_point)
        Make(g, {{37, kRed}}, smooth);
      else
        Make(g, {}, smooth);
      for (int e = 0; e < kGradientEntries; ++e) {
        const TColorEntry& c = g.ConvertTable()[e];
        ASSERT_EQ(c.Red, one_point ? 255 : 0) << one_point << smooth << " " << e;
        ASSERT_EQ(c.Green | c.Blue, 0) << one_point << smooth << " " << e;
      }
      EXPECT_EQ(g.ConvertTable()[0].Opacity, 77);
    }
  }
}

TEST(GradientTest, TwoLinearPointsRunThereAndBack) {
  TGradient g;
  Make(g, {{0, kBlue}, {200, kRed}}, false);
  const TColorEntry* t = g.ConvertTable();
  EXPECT_EQ(t[25600].Red, 255);
  EXPECT_EQ(t[25600].Blue, 0);
  EXPECT_EQ(t[12800].Red, 127);
  EXPECT_EQ(t[38400].Red, 128);
  // Entry 0 holds what the closing segment left there: one step short of blue.
  EXPECT_EQ(t[0].Red, 1);
  EXPECT_EQ(t[0].Blue, 254);
}

// A partial rebuild must leave the same table as a full one.
TEST(GradientTest, PartialRebuildMatchesFullRebuild) {
  for (bool smooth : {false, true}) {
    TGradient g;
    Make(g,
         {{0, kBlue}, {60, kRed}, {150, {100, 3000, 50}}, {260, kRed}, {390, {4095, 4095, 4095}}},
         smooth);
    TGradientPoint* moved = g.First()->Next->Next;
    g.MovePoint(moved, 170, {2000, 10, 4000});
    g.MovePoint(g.First(), 5, kRed);
    TGradient fresh;
    Make(fresh,
         {{5, kRed}, {60, kRed}, {170, {2000, 10, 4000}}, {260, kRed}, {390, {4095, 4095, 4095}}},
         smooth);
    for (int e = 0; e < kGradientEntries; ++e) {
      ASSERT_EQ(g.ConvertTable()[e].Red, fresh.ConvertTable()[e].Red) << smooth << " " << e;
      ASSERT_EQ(g.ConvertTable()[e].Blue, fresh.ConvertTable()[e].Blue) << smooth << " " << e;
    }
  }
}

TEST(GradientTest, PositionRotatesPointsAndTable) {
  TGradient g;
  Make(g, {{0, kBlue}, {100, kRed}, {390, kRed}}, false);
  const TColorEntry before = g.ConvertTable()[100 * 128 + 5];
  g.SetPosition(250);
  EXPECT_EQ(g.Position(), 200);
  EXPECT_EQ(Points(g), "190:255,0,0 200:0,0,255 300:255,0,0 ");
  EXPECT_EQ(g.ConvertTable()[300 * 128 + 5].Red, before.Red);
  g.SetPosition(-200);  // a whole turn
  EXPECT_EQ(Points(g), "190:255,0,0 200:0,0,255 300:255,0,0 ");
  EXPECT_EQ(g.ConvertTable()[300 * 128 + 5].Red, before.Red);
  g.SetPosition(-50);
  EXPECT_EQ(Points(g), "50:255,0,0 340:255,0,0 350:0,0,255 ");
  EXPECT_EQ(g.ConvertTable()[50 * 128 + 5].Red, before.Red);
  g.ConvertTable()[7].Opacity = 99;
  g.ConvertTable()[kInsideSolidEntry].Red = 98;
  g.Clear();
  EXPECT_EQ(g.ConvertTable()[7].Opacity, 99);
  EXPECT_EQ(g.ConvertTable()[kInsideSolidEntry].Red, 98);
  g.SetPosition(50);
  EXPECT_EQ(g.Position(), -50);
  EXPECT_EQ(g.ConvertTable()[7].Red, 0);
}

TEST(GradientTest, UndoMergesChangesOfTheSameKind) {
  TGradient g;
  int changes = 0;
  g.OnChange = [&](TGradient&) { ++changes; };
  TGradientPoint* p = g.First()->Next;
  g.MovePoint(p, 110, kRed);
  g.MovePoint(p, 120, kRed);  // same kind: one step
  g.EndMerge();
  g.MovePoint(p, 130, kRed);  // a new step
  g.InsertPoint(350, kBlue);  // kind 0: always a new step
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(g.History().Count(), 4);
  g.History().Undo();
  EXPECT_EQ(g.Count(), 4);
  EXPECT_EQ(g.First()->Next->Index, 130);
  g.History().Undo();
  EXPECT_EQ(g.First()->Next->Index, 120);
  g.History().Undo();
  EXPECT_EQ(Points(g), "0:0,0,255 100:255,255,255 200:255,255,0 300:255,0,0 ");
  EXPECT_EQ(g.ConvertTable()[100 * 128].Green, 255);
  g.History().Redo();
  EXPECT_EQ(g.First()->Next->Index, 120);
  EXPECT_EQ(g.ConvertTable()[120 * 128].Green, 0);
  // A bracket gives one undo step and one notification.
  changes = 0;
  g.Randomize2();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.Position(), 0);
  g.History().Undo();
  EXPECT_EQ(g.First()->Next->Index, 120);
}

TEST(GradientTest, RandomizeCountSpacesPointsEvenly) {
  TGradient g;
  g.RandomizeCount(3);
  EXPECT_EQ(g.First()->Index, 0);
  EXPECT_EQ(g.First()->Next->Index, 133);
  EXPECT_EQ(g.Last()->Index, 267);
  g.RandomizeCount(1000);
  EXPECT_EQ(g.Count(), 400);
}

// Each style places its points across the ring (the first one near its start),
// and its colors stay inside the 12 bits and inside the style's dark and light
// ranges, and change from round to round.
TEST(GradientTest, RandomizeStylesDrawColorsFromTheirRanges) {
  using TColor = std::array<int, 3>;
  auto all = [](const TColor& c, int low, int high) {
    return std::ranges::all_of(c, [&](int v) { return v >= low && v <= high; });
  };
  auto dark = [&](const TColor& c) { return all(c, 0, 2047); };
  auto light = [&](const TColor& c) { return all(c, 3072, 4095); };
  // Randomize2 mutes one or two channels of every color below 1024.
  auto muted_light = [&](const TColor& c) {
    return std::ranges::all_of(c, [](int v) { return v < 1024 || (v >= 3072 && v <= 4095); }) &&
           std::ranges::any_of(c, [](int v) { return v < 1024; });
  };
  const struct {
    const char* Name;
    std::function<void(TGradient&)> Randomize;
    std::function<bool(int, const TColor&)> Fits;  // point number, color
    int MinGap;                                    // between neighbouring points
  } styles[] = {
      {"1", [](TGradient& g) { g.Randomize1(); },
       [&](int, const TColor& c) { return all(c, 0, 4095); }, 40},
      {"2", [](TGradient& g) { g.Randomize2(); },
       [&](int i, const TColor& c) { return i % 2 ? dark(c) : muted_light(c); }, 40},
      {"3", [](TGradient& g) { g.Randomize3(); },
       [&](int i, const TColor& c) { return i % 2 ? light(c) : dark(c); }, 40},
      {"count", [](TGradient& g) { g.RandomizeCount(40); },
       [&](int, const TColor& c) { return all(c, 0, 4095); }, 10},
  };
  ProgramRandom().SetSeed(1);
  TGradient g;
  g.BeginUpdate();  // no table rebuilds: many rounds reach the ends of the ranges
  for (const auto& style : styles) {
    std::set<TColor> seen;
    for (int round = 0; round < 3000; ++round) {
      style.Randomize(g);
      ASSERT_LT(g.First()->Index, 40) << style.Name;
      int i = 0;
      for (const TGradientPoint* p = g.First(); p; p = p->Next, ++i) {
        const TColor c{p->Color.Red, p->Color.Green, p->Color.Blue};
        ASSERT_TRUE(style.Fits(i, c))
            << style.Name << " point " << i << ": " << c[0] << "," << c[1] << "," << c[2];
        if (p->Next) {
          ASSERT_GE(p->Next->Index - p->Index, style.MinGap) << style.Name << " point " << i;
          ASSERT_LT(p->Next->Index - p->Index, 190) << style.Name << " point " << i;
        }
        seen.insert(c);
      }
    }
    EXPECT_GT(seen.size(), 1000u) << style.Name;
  }
  g.EndUpdate();
}

// Identical lines become two points; a byte order mark and words after the
// three numbers are skipped; fewer than 256 readable lines are an error.
TEST(GradientTest, MapImport) {
  std::string red, blue = "\xEF\xBB\xBF", short_text;
  for (int i = 0; i < 256; ++i) red += "  255 0 0 trailing words\n\n";
  for (int i = 0; i < 256; ++i) blue += "0 0 255\n";
  for (int i = 0; i < 255; ++i) short_text += "1 2 3\n";
  const struct {
    std::string Text, Result;  // the points, or the error
  } cases[] = {
      {red, "0:255,0,0 399:255,0,0 "},
      {blue, "0:0,0,255 399:0,0,255 "},
      {short_text, "Error reading MAP palette file"},
      {short_text + "1 2\n", "Error reading MAP palette file"},
      {short_text + "1 x 3\n", "Error reading MAP palette file"},
  };
  testing::TempDir dir;
  for (const auto& c : cases) {
    TGradient g;
    const std::string error =
        testing::ErrorMessageOf([&] { g.ImportMAP(dir.Write("p.map", c.Text)); });
    EXPECT_EQ(error.empty() ? Points(g) : error, c.Result);
    EXPECT_EQ(g.Smooth(), !error.empty());
    EXPECT_FALSE(g.Modified());
  }
  TGradient g;
  const std::filesystem::path missing = dir.path() / "none.map";
  EXPECT_EQ(testing::ErrorMessageOf([&] { g.ImportMAP(missing); }),
            "Could not open MAP palette file '" + missing.string() + "'");
}

TEST(GradientTest, ImportPaletteFitsARampWithFewPoints) {
  std::array<TRGB12, 256> ramp;
  for (int i = 0; i < 256; ++i)
    ramp[i] = {uint16_t(i), uint16_t(255 - i), uint16_t(i < 128 ? 2 * i : 255)};
  TGradient g;
  g.ImportPalette(ramp, false, false);
  EXPECT_EQ(Points(g), "0:0,255,0 201:129,126,255 399:255,0,255 ");
}

TEST(GradientTest, EveryFractintMapImports) {
  const std::filesystem::path folder = testing::FractintDir() / "map";
  if (testing::FractintDir().empty() || !std::filesystem::exists(folder)) GTEST_SKIP();
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".map") continue;
    // Short palettes (16-color files) are not 256-entry MAP palettes.
    std::ifstream in(entry.path());
    int lines = 0;
    for (std::string line; std::getline(in, line);) {
      lines += line.find_first_not_of(" \r\t") != std::string::npos;
    }
    TGradient g;
    const std::string error = testing::ErrorMessageOf([&] { g.ImportMAP(entry.path()); });
    if (lines < 256) {
      EXPECT_EQ(error, "Error reading MAP palette file") << entry.path();
      continue;
    }
    EXPECT_EQ(error, "") << entry.path();
    EXPECT_EQ(g.First()->Index, 0) << entry.path();
    EXPECT_EQ(g.Last()->Index, 399) << entry.path();
    ++files;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace zt
