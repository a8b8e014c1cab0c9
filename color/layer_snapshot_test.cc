// A layer's undo record taken whole: every property and the mapping, formula,
// colorings, gradient and alpha channel come back from it, with one change report.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "color/layer.h"
#include "platform/error.h"
#include "platform/thread.h"
#include "testing/test_support.h"

namespace zt {
namespace {

std::string Data(const char* file) { return (testing::SourceDir() / "data" / file).string(); }

std::string Number(long double value) {
  char text[48];
  std::snprintf(text, sizeof text, "%.21Lg", value);
  return text;
}

std::string Values(const TParamList::TSnapshot& params, const TFuncList::TSnapshot& funcs) {
  std::ostringstream out;
  for (const TParamValue& v : params.Values)
    out << " p" << int{v.Type} << "(" << Number(v.Value.Re) << "," << Number(v.Value.Im) << ")";
  for (std::uint8_t code : funcs.Values) out << " f" << int{code};
  return out.str();
}

std::string Dump(const TColoringSnapshot& c) {
  return c.EntryName + " d" + Number(c.Density) + " t" + std::to_string(c.Transfer) + " o" +
         std::to_string(c.Offset) + " r" + std::to_string(c.Repeat) + Values(c.Params, c.Funcs);
}

// The record as one line per part, so that a mismatch shows where it lies.
std::string Dump(const TLayerSnapshot& s) {
  std::ostringstream out;
  out << "solids " << s.InsideColor.Red << "," << s.OutsideColor.Green << "," << s.MappingColor.Blue
      << " alphas " << s.InsideAlpha << "," << s.OutsideAlpha << "," << s.MappingAlpha << " method "
      << s.Method << " caption " << s.Caption << " opacity " << s.Opacity << " visible "
      << s.Visible << " usealpha " << s.UseAlpha << " mode " << s.MergeMode << "\n";
  out << "mapping " << Number(s.Mapping.Center.real()) << "," << Number(s.Mapping.Center.imag())
      << " " << Number(s.Mapping.Magnification) << " " << Number(s.Mapping.Angle) << "\n";
  for (const TTransformSettings& t : s.Mapping.Transforms) {
    out << "transform " << t.EntryName << " " << t.Enabled;
    for (const auto& [name, v] : t.Params)
      out << " " << name << "=" << Number(v.Value.Re) << "," << Number(v.Value.Im);
    for (const auto& [name, code] : t.Funcs) out << " " << name << "=" << code;
    out << "\n";
  }
  out << "formula " << s.Formula.EntryName << " " << s.Formula.MaxIterations << " "
      << s.Formula.Periodicity << " " << int{s.Formula.Method}
      << Values(s.Formula.Params, s.Formula.Funcs) << "\n";
  out << "inside " << Dump(s.InsideColoring) << "\noutside " << Dump(s.OutsideColoring) << "\n";
  out << "gradient";
  for (const auto& [index, color] : s.Gradient.Points)
    out << " " << index << ":" << color.Red << "," << color.Green << "," << color.Blue;
  out << "\nalpha";
  for (const auto& [index, opacity] : s.AlphaChannel.Points) out << " " << index << ":" << opacity;
  out << "\n";
  return out.str();
}

// Waits until the layer's calculation has ended: its threads read the settings
// that the tests change next.
void Settle(TLayer& layer) {
  MainThreadDispatcher().WaitFor([&] { return layer.State() != kLayerCalculating; });
}

std::unique_ptr<TLayer> MakeLayer() {
  MainThreadDispatcher().MakeCurrentThreadMain();
  auto layer = std::make_unique<TLayer>();
  layer->Image().OnResize = nullptr;
  layer->Image().SetSize(4, 2);
  layer->EndUpdate();
  Settle(*layer);
  return layer;
}

TTransformSettings Transform(const char* entry, bool enabled, long double value) {
  TTransformSettings t{Data("Standard.zxf"), entry, enabled, {}, {}};
  t.Params.emplace_back("origin", TParamValue{kTypeComplex, {value, -value}});
  return t;
}

// A layer set up in every respect, in one bracket.
void SetUpFirst(TLayer& layer) {
  layer.BeginUpdate();
  layer.Formula().ApplyParameters(Data("Standard.zfm"), "FunctionMandelbrot", 321, 1,
                                  {{"bailout", {kTypeFloat, {17.5L, 0}}}}, {{"fn", 3}});
  layer.Formula().SetMethod(kMethodOnePass);
  layer.InsideColoring().LoadEntry(Data("Standard.zcl"), "Iterations");
  layer.InsideColoring().Params().Items(0).SetValue({kTypeFloat, {0.25L, 0}});
  layer.InsideColoring().SetDensity(2.5L);
  layer.InsideColoring().SetTransfer(kTransferSqrt);
  layer.InsideColoring().SetOffset(17);
  layer.InsideColoring().SetRepeat(true);
  layer.OutsideColoring().LoadEntry(Data("Standard.zcl"), "SmoothIterations");
  layer.OutsideColoring().SetTransfer(kTransferLog);
  layer.Mapping().SetCenter({-0.75L, 0.125L});
  layer.Mapping().SetMagnification(3);
  layer.Mapping().SetAngle(1);
  for (const TTransformSettings& t :
       {Transform("Polar", true, 0.5L), Transform("Inversion", false, 2)}) {
    auto transform = std::make_unique<TTransform>();
    transform->ApplyParameters(t);
    layer.Mapping().Transforms().Add(std::move(transform));
  }
  layer.SetInsideColor({10, 20, 30});
  layer.SetOutsideColor({40, 50, 60});
  layer.SetMappingColor({70, 80, 90});
  layer.SetOutsideAlpha(33);
  layer.SetCaption("Sky");
  layer.SetOpacity(12);
  layer.SetVisible(false);
  layer.SetMergeMode(kMergeHslAdd);
  layer.Gradient().InsertPoint(150, TRGB12{100, 200, 300});
  layer.AlphaChannel().InsertPoint(120, 40);
  layer.SetMethod(kMethodMultiPass);  // the layer's method differs from the formula's
  layer.SetUseAlpha(true);            // inside a bracket the alphas do not set it
  layer.EndUpdate();
  Settle(layer);
}

// Every part of the layer different from SetUpFirst's, with some entries kept.
void ChangeEverything(TLayer& layer) {
  layer.BeginUpdate();
  layer.Formula().ApplyParameters(Data("Standard.zfm"), "Lambda", 99, 3, {}, {});
  layer.Formula().SetMethod(kMethodGuessing);
  layer.InsideColoring().Params().Items(0).SetValue({kTypeFloat, {4, 0}});
  layer.InsideColoring().SetDensity(1);
  layer.InsideColoring().SetTransfer(kTransferCube);
  layer.InsideColoring().SetOffset(3);
  layer.InsideColoring().SetRepeat(false);
  layer.OutsideColoring().LoadEntry(Data("Standard.zcl"), "OrbitTrap");
  layer.Mapping().SetCenter({2, 2});
  layer.Mapping().SetMagnification(0.5L);
  layer.Mapping().SetAngle(2.5L);
  layer.Mapping().Transforms().Item(0).ApplyParameters(Transform("Polar", false, 7));
  layer.Mapping().Transforms().Delete(1);
  layer.SetInsideColor({1, 1, 1});
  layer.SetOutsideColor({2, 2, 2});
  layer.SetMappingColor({3, 3, 3});
  layer.SetOutsideAlpha(255);
  layer.SetCaption("Sea");
  layer.SetOpacity(90);
  layer.SetVisible(true);
  layer.SetMergeMode(kMergeRed);
  layer.Gradient().InsertPoint(300, TRGB12{1, 2, 3});
  layer.Gradient().InsertPoint(350, TRGB12{4, 5, 6});
  layer.AlphaChannel().InsertPoint(10, 200);
  layer.SetMethod(kMethodOnePass);
  layer.EndUpdate();
  Settle(layer);
}

class LayerSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    first_ = MakeLayer();
    SetUpFirst(*first_);
    saved_ = first_->SaveSnapshot();
  }
  std::unique_ptr<TLayer> first_;
  TLayerSnapshot saved_;
};

TEST_F(LayerSnapshotTest, RecordHoldsTheSubObjects) {
  EXPECT_EQ(Dump(saved_),
            "solids 10,50,90 alphas 255,33,255 method 1 caption Sky opacity 12 visible 0 "
            "usealpha 1 mode 15\n"
            "mapping -0.75,0.125 3 1\n"
            "transform Polar 1 origin=0.5,-0.5 period=4,0 logarithmic=0,0\n"
            "transform Inversion 0 origin=2,-2 radius=1,0\n"
            "formula FunctionMandelbrot 321 1 2 p1(17.5,0) f3\n"
            "inside Iterations d2.5 t3 o17 r1 p1(0.25,0)\n"
            "outside SmoothIterations d1 t6 o0 r0 p1(0.0099999999999999999998,0) p1(2,0)\n"
            "gradient 0:0,0,4095 100:4095,4095,4095 150:100,200,300 200:4095,4095,0 "
            "300:4095,0,0\n"
            "alpha 0:255 120:40\n");
}

TEST_F(LayerSnapshotTest, RestoreAfterChangingEverythingGivesEverythingBack) {
  ChangeEverything(*first_);
  ASSERT_NE(Dump(first_->SaveSnapshot()), Dump(saved_));
  std::vector<int> codes;
  first_->OnChange = [&](TLayerCalculate&, int code) { codes.push_back(code); };
  first_->RestoreSnapshot(saved_);
  EXPECT_EQ(codes, (std::vector<int>{2}));
  EXPECT_EQ(Dump(first_->SaveSnapshot()), Dump(saved_));
  EXPECT_TRUE(first_->Formula().HasCode());
  EXPECT_EQ(first_->Formula().Method(), kMethodOnePass);
  EXPECT_EQ(first_->Method(), kMethodMultiPass);
  EXPECT_EQ(first_->Mapping().Transforms().Count(), 2);
  EXPECT_NE(first_->Mapping().Transforms().Item(1).Procedure(), nullptr);
  EXPECT_EQ(first_->Gradient().History().Count(), 1);
  EXPECT_EQ(first_->AlphaChannel().History().Count(), 1);
}

TEST_F(LayerSnapshotTest, RestoreIntoAFreshLayerAndBackToNoEntries) {
  auto other = MakeLayer();
  other->SetCaption(std::string(300, 'x'));
  EXPECT_EQ(other->SaveSnapshot().Caption, std::string(kMaxSnapshotCaption, 'x'));
  const TLayerSnapshot empty = other->SaveSnapshot();
  int changes = 0;
  other->OnChange = [&](TLayerCalculate&, int) { ++changes; };
  other->RestoreSnapshot(saved_);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Dump(other->SaveSnapshot()), Dump(saved_));
  for (int e = 0; e < kGradientEntries; e += 97)
    ASSERT_EQ(std::memcmp(&other->ConvertTable()[e], &first_->ConvertTable()[e], 4), 0) << e;
  other->RestoreSnapshot(empty);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(Dump(other->SaveSnapshot()), Dump(empty));
  EXPECT_FALSE(other->Formula().HasCode());
  EXPECT_EQ(other->Mapping().Transforms().Count(), 0);
}

TEST_F(LayerSnapshotTest, MissingEntryFileLeavesTheBracketClosed) {
  TLayerSnapshot broken = saved_;
  broken.Formula.FileName = (testing::SourceDir() / "data" / "Missing.zfm").string();
  broken.Formula.EntryName = "Nothing";
  auto other = MakeLayer();
  EXPECT_THROW(other->RestoreSnapshot(broken), EZentrope);
  EXPECT_FALSE(other->InUpdate());
  EXPECT_TRUE(other->FollowsFormulaMethod());
}

// The recalculation repaints everything, so the gradient and alpha channel stay
// silent while one is pending; without one their changes are announced.
TEST_F(LayerSnapshotTest, GradientSilentOnlyWhileARecalculationIsPending) {
  auto other = MakeLayer();
  int gradient_changes = 0, alpha_changes = 0;
  other->Gradient().OnChange = [&](TGradient&) { ++gradient_changes; };
  other->AlphaChannel().OnChange = [&](TAlphaChannel&) { ++alpha_changes; };
  other->RestoreSnapshot(saved_);  // new entries: a recalculation
  EXPECT_EQ(gradient_changes, 0);
  EXPECT_EQ(alpha_changes, 0);
  Settle(*other);

  TLayerSnapshot colors_only = other->SaveSnapshot();
  colors_only.Gradient.Points.emplace_back(390, TRGB12{7, 8, 9});
  colors_only.AlphaChannel.Points.emplace_back(390, 12);
  other->RestoreSnapshot(colors_only);
  EXPECT_GE(gradient_changes, 1);
  EXPECT_GE(alpha_changes, 1);
  EXPECT_EQ(Dump(other->SaveSnapshot()), Dump(colors_only));
}

}  // namespace
}  // namespace zt
