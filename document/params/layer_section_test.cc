// Tests of the layer sections: a full round trip through text, the transform
// count check, the location section and the entry sections' item handling.
#include "document/params/layer_section.h"

#include <gtest/gtest.h>

#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;

// The collections come from the program's folder; layers keep the bracket of
// their construction open, so nothing is calculated.
class LayerSection : public ::testing::Test {
 protected:
  // Reads the first layer section of `text` into `layer`.
  static void Read(const std::string& text, TLayer& layer, TParReader* reader = nullptr) {
    TParReader own;
    TParReader& r = reader ? *reader : own;
    r.LoadFromText(text);
    std::string key;
    ASSERT_FALSE(r.ReadKey(key));
    ASSERT_EQ(r.SectionName(), "layer");
    ReadLayer(r, layer);
    EXPECT_EQ(r.SectionName(), "");
  }
  static std::string Write(TLayer& layer) {
    TParWriter w("Set");
    WriteLayer(w, layer);
    w.Close();
    return w.Text();
  }

  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

const char* const kFullLayer =
    "Set {\n"
    "layer:\n"
    "  insolid=255 outsolid=65280 mapsolid=16711680 inalpha=10 outalpha=20 mapalpha=30\n"
    "  method=LINEAR caption=\"Top layer\" opacity=70 visible=No alpha=yes mergemode=Multiply\n"
    "mapping:\n"
    "  center=-0.5/0.25 magn=2.5 angle=0 numtransforms=1\n"
    "transform:\n"
    "  filename=\"Standard.zxf\" entry=\"Kaleidoscope\" enabled=no p_origin=0.1/0.2\n"
    "  p_segments=8 p_rotation=15 p_mirror=no\n"
    "formula:\n"
    "  filename=\"Standard.zfm\" entry=\"FunctionMandelbrot\" maxiter=500 percheck=rough\n"
    "  f_fn=cosh p_bailout=100\n"
    "inside:\n"
    "  filename=\"Standard.zcl\" entry=\"OrbitTrap\" density=0.5 transfer=sqrt offset=20\n"
    "  repeat=yes p_shape=\"ring\" p_radius=0.75\n"
    "outside:\n"
    "  filename=\"Standard.zcl\" entry=\"SmoothIterations\" transfer=log repeat=no\n"
    "gradient:\n"
    "  smooth=no position=15 numnodes=3 index=10 color=255 index=150 color=65535\n"
    "  index=399 color=8421504\n"
    "alpha:\n"
    "  smooth=yes numnodes=2 index=0 alpha=255 index=200 alpha=0\n"
    "}\n";

// The angle stays 0 here: the mapping's degree conversion moves other angles
// in their last digits on every round trip.
TEST_F(LayerSection, RoundTripThroughTextIsStable) {
  TLayer first;
  Read(kFullLayer, first);
  const std::string text = Write(first);
  TLayer second;
  Read(text, second);
  EXPECT_EQ(Write(second), text);
  EXPECT_TRUE(ui_.Records().empty());

  const std::string expected =
      "Set {\r\n"
      "layer:\r\n"
      "  insolid=255 outsolid=65280 mapsolid=16711680 inalpha=10 outalpha=20\r\n"
      "  mapalpha=30 method=linear caption=\"Top layer\" opacity=70 visible=no\r\n"
      "  alpha=yes mergemode=multiply\r\n"
      "mapping:\r\n"
      "  center=-0.5/0.25 magn=2.5 angle=0 numtransforms=1\r\n"
      "transform:\r\n"
      "  filename=\"Standard.zxf\" entry=\"Kaleidoscope\" enabled=no p_origin=0.1/0.2\r\n"
      "  p_segments=8 p_rotation=15 p_mirror=no\r\n"
      "formula:\r\n"
      "  filename=\"Standard.zfm\" entry=\"FunctionMandelbrot\" maxiter=500\r\n"
      "  percheck=rough p_bailout=100 f_fn=cosh\r\n"
      "inside:\r\n"
      "  filename=\"Standard.zcl\" entry=\"OrbitTrap\" density=0.5 transfer=sqrt\r\n"
      "  offset=20 repeat=yes p_shape=\"Ring\" p_trapcenter=0/0 p_trapangle=0\r\n"
      "  p_radius=0.75 p_speed=1\r\n"
      "outside:\r\n"
      "  filename=\"Standard.zcl\" entry=\"SmoothIterations\" transfer=log repeat=no\r\n"
      "  p_speed=0.01 p_power=2\r\n"
      "gradient:\r\n"
      "  smooth=no position=15 numnodes=3 index=10 color=255 index=150 color=65535\r\n"
      "  index=399 color=8421504\r\n"
      "alpha:\r\n"
      "  smooth=yes numnodes=2 index=0 alpha=255 index=200 alpha=0\r\n"
      "}\r\n";
  EXPECT_EQ(text, expected);
}

TEST_F(LayerSection, DefaultsAreOmittedAndAnOpaqueAlphaChannelIsLeftOut) {
  TLayer layer;
  Read(
      "Set {\nlayer:\n visible=yes alpha=no\nmapping:\ninside:\noutside:\n"
      "gradient:\n smooth=yes numnodes=1 index=0 color=0\nalpha:\n numnodes=1 index=9 alpha=255\n}",
      layer);
  EXPECT_EQ(Write(layer),
            "Set {\r\nlayer:\r\n  caption=\"(untitled)\" visible=yes alpha=no\r\nmapping:\r\n"
            "  center=0/0 magn=1 angle=0\r\nformula:\r\n  maxiter=100 percheck=normal\r\n"
            "inside:\r\n  transfer=linear repeat=no\r\noutside:\r\n  transfer=linear repeat=yes\r\n"
            "gradient:\r\n  smooth=yes numnodes=1 index=0 color=0\r\n}\r\n");
}

TEST_F(LayerSection, TransformCountMustMatch) {
  const std::string transform = "transform:\n filename=\"Standard.zxf\" entry=\"Polar\"\n";
  struct Case {
    std::string Mapping;
    std::string Message;
  } cases[] = {
      // A shortage shows at the end of the entry or at the next section.
      {"mapping:\n numtransforms=2\n" + transform, "Invalid file format (line 7)"},
      {"mapping:\n numtransforms=1\nformula:\n", "Invalid file format (line 5)"},
      // A surplus shows at its first extra section.
      {"mapping:\n numtransforms=1\n" + transform + transform, "Invalid file format (line 7)"},
  };
  for (const Case& c : cases) {
    TLayer layer;
    EXPECT_EQ(ErrorMessageOf([&] { Read("Set {\nlayer:\n" + c.Mapping + "}", layer); }), c.Message)
        << c.Mapping;
  }
}

TEST_F(LayerSection, GradientAndAlphaNodeErrors) {
  struct Case {
    const char* Section;
    const char* Message;
  } cases[] = {
      {"gradient:\n numnodes=2 index=1 color=0\n", "Invalid file format (line 5)"},
      {"gradient:\n numnodes=1 color=0 index=1\n", "Invalid file format (line 4)"},
      {"gradient:\n numnodes=2 index=1\n index=2 color=0\n", "Invalid file format (line 5)"},
      {"gradient:\n numnodes=1 index=1 color=0 index=3\n", "Invalid file format (line 5)"},
      {"gradient:\n numnodes=1 index=400 color=0\n", "Invalid file format (line 4)"},
      {"alpha:\n numnodes=1 index=1 alpha=256\n", "Invalid file format (line 4)"},
      {"alpha:\n numnodes=1 index=1 color=0\n", "Invalid file format (line 5)"},
  };
  for (const Case& c : cases) {
    TLayer layer;
    EXPECT_EQ(
        ErrorMessageOf([&] { Read(std::string("Set {\nlayer:\n") + c.Section + "}", layer); }),
        c.Message)
        << c.Section;
  }
}

TEST_F(LayerSection, MissingParameterIsReportedOnceForFiveLayers) {
  std::string text = "Set {\n";
  for (int i = 0; i < 5; ++i) {
    text +=
        "layer:\nformula:\n filename=\"Standard.zfm\" entry=\"Julia\" p_seed=0.3/0.5 p_gone=1\n";
  }
  text += "}";
  TParReader r;
  r.LoadFromText(text);
  std::string key;
  r.ReadKey(key);
  for (int i = 0; i < 5; ++i) {
    TLayer layer;
    ReadLayer(r, layer);
    EXPECT_EQ(layer.Formula().Params().Items(0).AsComplex(), std::complex<long double>(0.3L, 0.5L));
  }
  const auto records = ui_.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Text,
            "Could not locate the parameter 'gone'\rin 'Julia' in 'Standard.zfm'.\r\r"
            "The parameter set may not be restored correctly.");
}

TEST_F(LayerSection, UnknownEntryLeavesTheObjectWithoutEntry) {
  TLayer layer;
  Read(
      "Set {\nlayer:\nformula:\n filename=\"Standard.zfm\" entry=\"Julia\"\n"
      "inside:\n filename=\"Standard.zcl\" entry=\"Nothing\" p_x=1 f_y=sin\n"
      "formula:\n filename=\"Nowhere.zfm\" entry=\"Julia\" maxiter=9 f_none=bogus\n}",
      layer);
  EXPECT_TRUE(layer.Formula().IsEmpty());
  EXPECT_EQ(layer.Formula().MaxIterations(), 9);
  EXPECT_TRUE(layer.InsideColoring().IsEmpty());
  // Two searches offered (answered No); no missing-parameter warnings.
  EXPECT_EQ(ui_.Records().size(), 2u);
}

TEST_F(LayerSection, LocationSection) {
  TMapping mapping;
  mapping.SetCenter({1, -2});
  mapping.SetMagnification(1E-12L);
  mapping.SetAngleDegrees(-45);
  TParWriter w("Loc");
  WriteLocation(w, mapping);
  w.Close();
  EXPECT_EQ(w.Text(), "Loc {\r\nlocation:\r\n  center=1/-2 magn=1E-12 angle=315\r\n}\r\n");
  TParReader r;
  r.LoadFromText(w.Text() + "");
  std::string key;
  r.ReadKey(key);
  TMapping copy;
  ReadLocation(r, copy);
  EXPECT_EQ(copy.Center(), mapping.Center());
  EXPECT_EQ(copy.Magnification(), mapping.Magnification());
  EXPECT_NEAR(static_cast<double>(copy.AngleDegrees()), 315, 1e-12);
}

}  // namespace
}  // namespace zt
