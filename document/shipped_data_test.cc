// Checks of the shipped parameter and gradient files: every example parameter
// set reads back layer by layer with its entries found and compiled, and the
// standard gradient file holds the built-in default gradient.
#include <gtest/gtest.h>

#include "color/layer.h"
#include "document/params/gradient_section.h"
#include "document/params/layer_section.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

class ShippedData : public ::testing::Test {
 protected:
  void SetUp() override {
    TConfigManager& config = ConfigManager();
    config.FormulaDirectory = config.ColoringDirectory = config.TransformationDirectory = data_;
  }
  const std::string data_ = (testing::SourceDir() / "data").string();
  testing::TKeepValue<std::string> formulas_{ConfigManager().FormulaDirectory};
  testing::TKeepValue<std::string> colorings_{ConfigManager().ColoringDirectory};
  testing::TKeepValue<std::string> transformations_{ConfigManager().TransformationDirectory};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

void ExpectCompiled(TFormulaBase& entry, const std::string& where) {
  if (entry.IsEmpty()) return;  // "(None)" is allowed for colorings
  EXPECT_FALSE(entry.CompileFailed()) << where << ": " << entry.Code().EntryName;
}

TEST_F(ShippedData, EveryExampleParameterSetReadsBack) {
  TParReader r;
  r.LoadFile(data_ + "/Examples.zpr");
  int sets = 0, multi_layer_sets = 0, transformed_sets = 0;
  for (; r.Found; r.FindNextEntry()) {
    const std::string set = r.EntryName;
    ++sets;
    EXPECT_FALSE(r.Comments().empty()) << set;
    std::string key;
    ASSERT_FALSE(r.ReadKey(key)) << set;
    ASSERT_EQ(r.SectionName(), "fractal") << set;
    int numlayers = -1, layers = 0;
    bool transformed = false;
    while (r.ReadKey(key)) {
      if (key == "numlayers") numlayers = r.ValueInteger();
      if (key == "width") {
        EXPECT_EQ(r.ValueInteger(), 640) << set;
      }
      if (key == "height") {
        EXPECT_EQ(r.ValueInteger(), 480) << set;
      }
    }
    while (r.SectionName() == "layer") {
      TLayer layer;
      ReadLayer(r, layer);
      ++layers;
      const std::string where = set + " layer " + std::to_string(layers);
      EXPECT_FALSE(layer.Formula().IsEmpty()) << where;
      ExpectCompiled(layer.Formula(), where);
      ExpectCompiled(layer.InsideColoring(), where);
      ExpectCompiled(layer.OutsideColoring(), where);
      EXPECT_FALSE(layer.OutsideColoring().IsEmpty()) << where;
      TTransformList& transforms = layer.Mapping().Transforms();
      for (int i = 0; i < transforms.Count(); ++i) ExpectCompiled(transforms.Item(i), where);
      transformed = transformed || transforms.Count() > 0;
    }
    EXPECT_EQ(r.SectionName(), "") << set;
    EXPECT_EQ(layers, numlayers) << set;
    multi_layer_sets += layers > 1;
    transformed_sets += transformed && layers > 1;
  }
  EXPECT_GE(sets, 6);
  EXPECT_GE(multi_layer_sets, 2);
  EXPECT_GE(transformed_sets, 1);
  for (const auto& record : ui_.Records()) ADD_FAILURE() << record.Text;
}

TEST_F(ShippedData, StandardGradientsHoldTheDefault) {
  const std::string file = data_ + "/Standard.zgr";
  TGradient builtin;
  const std::string title = "Default";
  TParWriter expected("Default");
  WriteGradient(expected, builtin, &title);
  expected.Close();
  TParReader r;
  r.LoadFile(file);
  TFastStringList copy;
  ASSERT_TRUE(r.FindEntry("Default"));
  r.CopyEntry(copy);
  std::vector<std::string> lines;
  for (int i = 0; i < copy.Count(); ++i) lines.push_back(copy[i]);
  EXPECT_EQ(lines, expected.Lines());

  int entries = 0;
  for (r.FindFirstEntry(); r.Found; r.FindNextEntry()) {
    TGradient gradient;
    EXPECT_EQ(LoadGradientEntry(file, r.EntryName, gradient), r.EntryName);
    ++entries;
  }
  EXPECT_GE(entries, 6);
}

}  // namespace
}  // namespace zt
