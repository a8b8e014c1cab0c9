// Tests of the Fractint import: what each key does to the document's one layer,
// the formulas of type "formula" and where they are found, and the errors.
#include "document/fractint/fractint_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <numbers>

#include "document/fractal.h"
#include "document/params/par_reader.h"
#include "document/settings/config_manager.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;

class FractintImport : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    TConfigManager& config = ConfigManager();
    const std::filesystem::path data = testing::SourceDir() / "data";
    // The formula folder holds Fractint.zfm beside Fractint formula files.
    std::filesystem::copy_file(data / "Fractint.zfm", dir_.path() / "Fractint.zfm");
    dir_.Write("mine.frm",
               "Mask [float=y] {\n  z = pixel:\n  z = z * z + p1 + fn1(p2), |z| < 4\n}\n");
    std::filesystem::create_directory(dir_.path() / "sub");
    dir_.Write("sub/other.FRM", "Hidden = {\n  z = pixel: z = z * z + pixel, |z| < 4\n}\n");
    dir_.Write("red.map", Repeat("255 0 0\n", 256));
    config.FormulaDirectory = dir_.path().string() + "/";
    config.GradientDirectory = dir_.path().string() + "/";
    config.ColoringDirectory = config.TransformationDirectory = data.string() + "/";
    config.ImportFixedAspectRatio = true;
    config.ImportSmoothColoring = true;
    config.DefaultImageWidth = 320;
    config.DefaultImageHeight = 240;
  }

  static std::string Repeat(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
  }

  // The layer of a document imported from `keys` (an entry "t" of one line).
  TLayer& Import(const std::string& keys, bool ignore_size = false) {
    TParReader r;
    r.LoadFromText("t {\n  " + keys + "\n}\n");
    fractal_.LoadFromParameters(r, ignore_size);
    skipped_ = r.Skipped();
    return fractal_.Layers()[0];
  }

  static const TParam& Param(const TFormulaBase& object, const std::string& name) {
    const int index = object.Params().IndexOfName(name);
    EXPECT_GE(index, 0) << name;
    return object.Params().Items(std::max(index, 0));
  }
  static std::vector<std::string> Transforms(TLayer& layer) {
    std::vector<std::string> names;
    for (int i = 0; i < layer.Mapping().Transforms().Count(); ++i)
      names.push_back(layer.Mapping().Transforms().Item(i).Code().EntryName);
    return names;
  }

  testing::TempDir dir_;
  testing::TKeepValue<std::string> formulas_{ConfigManager().FormulaDirectory};
  testing::TKeepValue<std::string> gradients_{ConfigManager().GradientDirectory};
  testing::TKeepValue<std::string> colorings_{ConfigManager().ColoringDirectory};
  testing::TKeepValue<std::string> transformations_{ConfigManager().TransformationDirectory};
  testing::TKeepValue<bool> aspect_{ConfigManager().ImportFixedAspectRatio};
  testing::TKeepValue<bool> smooth_{ConfigManager().ImportSmoothColoring};
  testing::TKeepValue<int> width_{ConfigManager().DefaultImageWidth};
  testing::TKeepValue<int> height_{ConfigManager().DefaultImageHeight};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
  TFractal fractal_{"Doc"};
  std::vector<std::string> skipped_;
};

TEST_F(FractintImport, KeysOfTheBuiltInTypes) {
  const struct {
    const char* Keys;
    std::function<void(TLayer&)> Check;
  } cases[] = {
      {"type=mandel",
       [](TLayer& l) {
         EXPECT_EQ(l.Formula().Code().EntryName, "mandel");
         EXPECT_EQ(l.Formula().MaxIterations(), 149);
         EXPECT_EQ(Transforms(l), std::vector<std::string>{"ViewWindow"});
         EXPECT_EQ(l.Caption(), "Layer 1");
         EXPECT_EQ(Param(l.InsideColoring(), "n").AsInteger(), 1);
         EXPECT_TRUE(Param(l.OutsideColoring(), "smooth").AsBoolean());
       }},
      {"center-mag=0/0/1/1.2 type=julia",
       [](TLayer& l) {
         ASSERT_EQ(Transforms(l), (std::vector<std::string>{"ViewWindow", "SkewStretch"}));
         const TTransform& skew = l.Mapping().Transforms().Item(1);
         EXPECT_DOUBLE_EQ(static_cast<double>(Param(skew, "xmag").AsFloat()), 1.2);
         EXPECT_EQ(Param(skew, "skew").AsFloat(), 0);
       }},
      // Some programs wrote undefined numbers as -1.#IND; Fractint reads -1.
      {"type=mandel center-mag=0.5/-1.#IND/-1.#IND",
       [](TLayer& l) {
         EXPECT_EQ(l.Mapping().Center(), TComplex(0.5L, -1));
         EXPECT_DOUBLE_EQ(static_cast<double>(l.Mapping().Magnification()), 1.5);
         EXPECT_NEAR(static_cast<double>(l.Mapping().Angle()), std::numbers::pi, 1e-12);
       }},
      {"type=mandel inside=255",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.InsideColoring(), "n").AsInteger(), 255);
         EXPECT_EQ(Param(l.InsideColoring(), "inside").AsInteger(), 0);
         EXPECT_EQ(l.InsideColoring().Transfer(), kTransferNone);
       }},
      {"type=mandel inside=bof60",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.InsideColoring(), "inside").AsInteger(), 2);
         EXPECT_EQ(l.InsideColoring().Transfer(), kTransferLinear);
       }},
      {"type=mandel decomp=256",
       [](TLayer& l) {
         EXPECT_EQ(l.OutsideColoring().Code().EntryName, "decomp");
         EXPECT_EQ(Param(l.OutsideColoring(), "decomp").AsInteger(), 7);
       }},
      {"type=mandel decomp=2",
       [](TLayer& l) { EXPECT_EQ(Param(l.OutsideColoring(), "decomp").AsInteger(), 0); }},
      {"type=mandel decomp=0",
       [](TLayer& l) { EXPECT_EQ(l.OutsideColoring().Code().EntryName, "outside"); }},
      {"type=mandel passes=1",
       [](TLayer& l) {
         EXPECT_EQ(l.Method(), kMethodOnePass);
         EXPECT_EQ(l.Formula().Method(), kMethodOnePass);
       }},
      {"type=mandel passes=g2", [](TLayer& l) { EXPECT_EQ(l.Method(), kMethodGuessing); }},
      {"type=mandel passes=3", [](TLayer& l) { EXPECT_EQ(l.Method(), kMethodMultiPass); }},
      {"type=mandel periodicity=0", [](TLayer& l) { EXPECT_EQ(l.Formula().Periodicity(), 0); }},
      {"type=mandel periodicity=-1", [](TLayer& l) { EXPECT_EQ(l.Formula().Periodicity(), 2); }},
      {"type=mandel periodicity=4", [](TLayer& l) { EXPECT_EQ(l.Formula().Periodicity(), 1); }},
      {"type=newton", [](TLayer& l) { EXPECT_EQ(l.Formula().Periodicity(), 0); }},
      {"type=mandel bailout=50 bailoutest=and",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.Formula(), "bailout").AsFloat(), 50);
         EXPECT_EQ(Param(l.Formula(), "test").AsInteger(), 4);
         EXPECT_EQ(Param(l.OutsideColoring(), "bailout").AsFloat(), 50);
       }},
      // Values in the order the type declares them; functions in order.
      {"type=fn+fn params=1/2/3 function=cos/exp/sin",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.Formula(), "first").AsComplex(), TComplex(1, 2));
         EXPECT_EQ(Param(l.Formula(), "second").AsComplex(), TComplex(3, 0));
         EXPECT_EQ(l.Formula().Funcs().Items(0).FuncCode(), 4);
         EXPECT_EQ(l.Formula().Funcs().Items(1).FuncCode(), 17);
       }},
      {"type=phoenix params=0.5/-0.25/2.6",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.Formula(), "p").AsFloat(), 0.5);
         EXPECT_EQ(Param(l.Formula(), "q").AsFloat(), -0.25);
         EXPECT_EQ(Param(l.Formula(), "degree").AsInteger(), 3);
       }},
      {"type=mandel potential=255/820/500",
       [](TLayer& l) {
         EXPECT_EQ(l.OutsideColoring().Code().EntryName, "potential");
         EXPECT_EQ(Param(l.OutsideColoring(), "maxcol").AsInteger(), 255);
         EXPECT_EQ(Param(l.OutsideColoring(), "slope").AsFloat(), 820);
         EXPECT_EQ(Param(l.Formula(), "bailout").AsFloat(), 500);
       }},
      {"type=mandel potential=0/511/0",
       [](TLayer& l) {
         EXPECT_EQ(l.OutsideColoring().Code().EntryName, "outside");
         EXPECT_EQ(Param(l.Formula(), "bailout").AsFloat(), 4);
       }},
      {"type=mandel outside=summ logmap=old biomorph=0",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.OutsideColoring(), "outside").AsInteger(), 5);
         EXPECT_EQ(Param(l.OutsideColoring(), "logmap").AsInteger(), -1);
         EXPECT_EQ(Param(l.OutsideColoring(), "biomorph").AsInteger(), 0);
       }},
      {"type=mandel outside=17 logmap=256",
       [](TLayer& l) {
         EXPECT_EQ(Param(l.OutsideColoring(), "outside").AsInteger(), 0);
         EXPECT_EQ(Param(l.OutsideColoring(), "n").AsInteger(), 17);
         EXPECT_EQ(Param(l.OutsideColoring(), "logmap").AsInteger(), 256);
       }},
      {"type=mandel center-mag=1/2/3 invert=1",
       [](TLayer& l) {
         ASSERT_EQ(Transforms(l), (std::vector<std::string>{"ViewWindow", "Inverse"}));
         EXPECT_EQ(Param(l.Mapping().Transforms().Item(1), "center").AsComplex(), TComplex(1, 2));
       }},
      {"type=mandel invert=0.5/0.25/0.5",
       [](TLayer& l) {
         const TTransform& inverse = l.Mapping().Transforms().Item(1);
         EXPECT_EQ(Param(inverse, "radius").AsFloat(), 0.5);
         EXPECT_EQ(Param(inverse, "center").AsComplex(), TComplex(0.25L, 0.5L));
       }},
      {"type=mandel colors=@RED",
       [](TLayer& l) {
         EXPECT_EQ(l.Gradient().Count(), 2);
         EXPECT_EQ(l.Gradient().First()->Color, (TRGB12{4095, 0, 0}));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Keys);
    c.Check(Import(c.Keys));
    EXPECT_TRUE(skipped_.empty());
  }
  EXPECT_TRUE(ui_.Records().empty());
}

TEST_F(FractintImport, FixedInsideColorsComeFromThePalette) {
  // colors=000<2>zzz: black, then grays up to white from color 3 on.
  TLayer& layer = Import("type=mandel colors=000<2>zzz inside=0");
  EXPECT_EQ(layer.InsideColor(), (TRGB12{0, 0, 0}));
  EXPECT_EQ(Import("type=mandel colors=000<2>zzz inside=200").InsideColor(),
            (TRGB12{4095, 4095, 4095}));
  // Fractint's maximum iterations (300) wrap to color 45.
  TLayer& wrapped = Import("type=mandel maxiter=300 inside=maxiter colors=000z00<253>z00");
  EXPECT_EQ(Param(wrapped.InsideColoring(), "n").AsInteger(), -1);
  EXPECT_EQ(wrapped.InsideColor(), (TRGB12{4095, 0, 0}));
}

TEST_F(FractintImport, SizeAndViewWindows) {
  Import("type=mandel");
  EXPECT_EQ(fractal_.Width(), 320);
  EXPECT_EQ(fractal_.Height(), 240);
  fractal_.SetWidth(50);
  Import("type=mandel", true);
  EXPECT_EQ(fractal_.Width(), 50);
  // A square window: 240 x 240, and a stretch that shows the 4 by 3 view in it.
  TLayer& square = Import("type=mandel viewwindows=1/1/yes/0/0");
  EXPECT_EQ(fractal_.Width(), 240);
  EXPECT_EQ(fractal_.Height(), 240);
  EXPECT_EQ(square.Image().Width(), 240);
  ASSERT_EQ(Transforms(square), (std::vector<std::string>{"ViewWindow", "SkewStretch"}));
  EXPECT_EQ(Param(square.Mapping().Transforms().Item(0), "ar").AsFloat(), 1);
  EXPECT_EQ(Param(square.Mapping().Transforms().Item(1), "xmag").AsFloat(), 0.75);
  Import("type=mandel viewwindows=1/0.5/yes/100");
  EXPECT_EQ(fractal_.Width(), 100);
  EXPECT_EQ(fractal_.Height(), 50);
  Import("type=mandel viewwindows=1/0.5/yes/1e30/1e30");
  EXPECT_EQ(fractal_.Width(), 320);
  EXPECT_EQ(fractal_.Height(), 160);
  ConfigManager().ImportFixedAspectRatio = false;
  EXPECT_TRUE(Transforms(Import("type=mandel")).empty());
  EXPECT_EQ(Transforms(Import("type=mandel viewwindows=1/0.75")),
            std::vector<std::string>{"ViewWindow"});
}

TEST_F(FractintImport, FormulasOfTypeFormula) {
  TLayer& mask =
      Import("type=formula formulafile=mine.frm formulaname=mask params=1/2/3 function=cos/xyz");
  EXPECT_EQ(mask.Formula().Code().EntryName, "Mask");
  EXPECT_FALSE(mask.Formula().CompileFailed());
  EXPECT_EQ(Param(mask.Formula(), "p1").AsComplex(), TComplex(1, 2));
  EXPECT_EQ(Param(mask.Formula(), "p2").AsComplex(), TComplex(3, 0));
  EXPECT_EQ(mask.Formula().Funcs().Items(0).FuncCode(), 4);
  // A formula that does not compile is loaded all the same (the compiler reports it).
  dir_.Write("bad.frm", "Broken {\n  z = cosyy(pixel): z = z * z, |z| < 4\n}\n");
  EXPECT_TRUE(
      Import("type=formula formulafile=bad.frm formulaname=Broken").Formula().CompileFailed());
  EXPECT_TRUE(skipped_.empty());
  // Not in the named file (nor the default one): searched in every formula file.
  EXPECT_EQ(Import("formulaname=Hidden type=formula").Formula().Code().EntryName, "Hidden");
  // Carried along in the parameter file: copied into the named formula file.
  TParReader r;
  r.LoadFromText(
      "t {\n type=formula formulafile=new.frm formulaname=Carried\n}\n"
      "FRM:Carried {\n z = pixel: z = z * z + pixel, |z| < 4\n}\n");
  fractal_.LoadFromParameters(r, false);
  EXPECT_EQ(fractal_.Layers()[0].Formula().Code().EntryName, "Carried");
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "new.frm"));
}

TEST_F(FractintImport, ErrorsLeaveTheDocumentAsItWas) {
  fractal_.AddLayer("Second");
  const struct {
    const char* Keys;
    const char* Message;
  } cases[] = {
      {"type=mandel colors=00", "Invalid file format (line 2)"},
      {"type=mandel\n  center-mag=0/x/1", "Invalid file format (line 3)"},
      {"type=formula formulaname=nowhere", "Could not find the entry 'nowhere' in 'Fractint.frm'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Keys);
    TParReader r;
    r.Quiet = true;
    r.LoadFromText(std::string("t {\n  ") + c.Keys + "\n}\n");
    EXPECT_EQ(ErrorMessageOf([&] { fractal_.LoadFromParameters(r, false); }), c.Message);
    EXPECT_EQ(fractal_.Layers().Count(), 2);
    EXPECT_EQ(fractal_.UpdateCount(), 0);
  }
}

TEST_F(FractintImport, WhatTheCollectionsLackIsNotedAndPassedOver) {
  TLayer& layer = Import("type=plasma colors=@nonesuch");
  EXPECT_TRUE(layer.Formula().IsEmpty());
  ASSERT_EQ(skipped_.size(), 2u);
  EXPECT_EQ(skipped_[0], "Could not find the entry 'plasma' in 'Fractint.zfm'");
  EXPECT_EQ(skipped_[1],
            "Could not open MAP palette file '" + (dir_.path() / "nonesuch").string() + "'");
  EXPECT_TRUE(ui_.Records().empty());
}

}  // namespace
}  // namespace zt
