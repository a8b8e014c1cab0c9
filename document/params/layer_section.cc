// Reading and writing a layer as parameter text.
#include "document/params/layer_section.h"

#include <array>

#include "document/params/entry_section.h"
#include "document/params/gradient_section.h"

namespace zt {

namespace {

constexpr std::array<const char*, kMergeModeCount> kMergeModeWords = {
    "",           "multiply", "screen",    "overlay",    "softlight",
    "hardlight",  "darken",   "lighten",   "difference", "hue",
    "saturation", "color",    "luminance", "addition",   "subtraction",
    "hsladd",     "red",      "green",     "blue"};
constexpr std::array<const char*, 3> kMethodWords = {"", "multipass", "linear"};

template <size_t N>
int WordIndex(const std::array<const char*, N>& words, const std::string& word) {
  for (size_t i = 1; i < N; ++i) {
    if (word == words[i]) return static_cast<int>(i);
  }
  return -1;
}

void WriteSolidColor(TParWriter& w, const char* key, TRGB12 color) {
  const auto number = RGB12ToColorNumber(color);
  if (number != 0) w.WriteColor(key, static_cast<int>(number));
}

void WriteSolidAlpha(TParWriter& w, const char* key, int alpha) {
  if (alpha != 255) w.WriteInteger(key, alpha);
}

TRGB12 ReadColor(TParReader& r) {
  return ColorNumberToRGB12(static_cast<std::uint32_t>(r.ValueInteger()) & 0xFFFFFF);
}

bool OpaqueDefault(TAlphaChannel& alpha) {
  return alpha.Count() == 1 && alpha.First()->Opacity == 255;
}

void ResetAlphaChannel(TAlphaChannel& alpha) {
  TAlphaChannel::TSnapshot snapshot;
  snapshot.Smooth = true;
  snapshot.Points.emplace_back(0, 255);
  alpha.AssignSnapshot(snapshot);
}

// Reads the keys of the mapping or location section into the mapping.
void ReadLocationKeys(TParReader& r, TMapping& mapping, int* transforms) {
  TComplex center{0, 0};
  long double magnification = 1;
  long double angle = 0;
  std::string key;
  while (r.ReadKey(key)) {
    if (key == "center") {
      center = r.ValueComplex();
    } else if (key == "magn") {
      magnification = r.ValueFloat();
    } else if (key == "angle") {
      angle = r.ValueFloat();
    } else if (key == "numtransforms" && transforms) {
      *transforms = r.ValueInteger();
    }
  }
  mapping.SetCenter(center);
  mapping.SetMagnification(magnification);
  mapping.SetAngleDegrees(angle);
}

void WriteLocationKeys(TParWriter& w, const TMapping& mapping) {
  w.WriteComplex("center", mapping.Center());
  w.WriteFloat("magn", mapping.Magnification());
  w.WriteFloat("angle", mapping.AngleDegrees());
}

}  // namespace

void WriteLocation(TParWriter& w, const TMapping& mapping) {
  w.Section("location");
  WriteLocationKeys(w, mapping);
}

void ReadLocation(TParReader& r, TMapping& mapping) { ReadLocationKeys(r, mapping, nullptr); }

void WriteMapping(TParWriter& w, TMapping& mapping) {
  w.Section("mapping");
  WriteLocationKeys(w, mapping);
  TTransformList& transforms = mapping.Transforms();
  if (transforms.Count() > 0) w.WriteInteger("numtransforms", transforms.Count());
  for (int i = 0; i < transforms.Count(); ++i) WriteTransform(w, transforms.Item(i));
}

void ReadMapping(TParReader& r, TMapping& mapping) {
  int expected = 0;
  ReadLocationKeys(r, mapping, &expected);
  TTransformList& transforms = mapping.Transforms();
  transforms.BeginUpdate();
  try {
    transforms.Clear();
    int sections = 0;
    while (r.SectionName() == "transform") {
      if (++sections > expected) r.Error();
      // A transformation whose entry could not be provided is left out.
      if (auto transform = ReadTransform(r)) transforms.Add(std::move(transform));
    }
    if (sections != expected) r.Error();
  } catch (...) {
    transforms.EndUpdate();
    throw;
  }
  transforms.EndUpdate();
}

void WriteLayer(TParWriter& w, TLayer& layer) {
  w.Section("layer");
  WriteSolidColor(w, "insolid", layer.InsideColor());
  WriteSolidColor(w, "outsolid", layer.OutsideColor());
  WriteSolidColor(w, "mapsolid", layer.MappingColor());
  WriteSolidAlpha(w, "inalpha", layer.InsideAlpha());
  WriteSolidAlpha(w, "outalpha", layer.OutsideAlpha());
  WriteSolidAlpha(w, "mapalpha", layer.MappingAlpha());
  if (layer.Method() == 1 || layer.Method() == 2) {
    w.WriteWord("method", kMethodWords[static_cast<size_t>(layer.Method())]);
  }
  if (!layer.Caption().empty()) w.WriteString("caption", layer.Caption());
  if (layer.Opacity() != 50) w.WriteInteger("opacity", layer.Opacity());
  w.WriteBoolean("visible", layer.Visible());
  w.WriteBoolean("alpha", layer.UseAlpha());
  if (layer.MergeMode() > 0 && layer.MergeMode() < kMergeModeCount) {
    w.WriteWord("mergemode", kMergeModeWords[static_cast<size_t>(layer.MergeMode())]);
  }
  WriteMapping(w, layer.Mapping());
  WriteFormula(w, layer.Formula());
  WriteColoring(w, layer.InsideColoring());
  WriteColoring(w, layer.OutsideColoring());
  WriteGradient(w, layer.Gradient());
  if (!OpaqueDefault(layer.AlphaChannel())) WriteAlphaChannel(w, layer.AlphaChannel());
}

namespace {

// The layer keys; the method waits for the formula, whose loading resets it.
int ReadLayerKeys(TParReader& r, TLayer& layer) {
  layer.Reset();
  int method = 0;
  std::string key;
  while (r.ReadKey(key)) {
    if (key == "insolid") {
      layer.SetInsideColor(ReadColor(r));
    } else if (key == "outsolid") {
      layer.SetOutsideColor(ReadColor(r));
    } else if (key == "mapsolid") {
      layer.SetMappingColor(ReadColor(r));
    } else if (key == "inalpha") {
      layer.SetInsideAlpha(r.ValueInteger());
    } else if (key == "outalpha") {
      layer.SetOutsideAlpha(r.ValueInteger());
    } else if (key == "mapalpha") {
      layer.SetMappingAlpha(r.ValueInteger());
    } else if (key == "method") {
      method = std::max(WordIndex(kMethodWords, r.ValueWord()), 0);
    } else if (key == "caption") {
      layer.SetCaption(r.ValueText());
    } else if (key == "opacity") {
      layer.SetOpacity(r.ValueInteger());
    } else if (key == "visible") {
      layer.SetVisible(r.ValueBoolean());
    } else if (key == "alpha") {
      layer.SetUseAlpha(r.ValueBoolean());
    } else if (key == "mergemode") {
      const int mode = WordIndex(kMergeModeWords, r.ValueWord());
      if (mode > 0) layer.SetMergeMode(mode);
    }
  }
  return method;
}

void ReadLayerSections(TParReader& r, TLayer& layer) {
  bool alpha_read = false;
  for (;;) {
    const std::string section = r.SectionName();
    if (section == "mapping") {
      ReadMapping(r, layer.Mapping());
    } else if (section == "formula") {
      ReadFormula(r, layer.Formula());
    } else if (section == "inside") {
      ReadColoring(r, layer.InsideColoring());
    } else if (section == "outside") {
      ReadColoring(r, layer.OutsideColoring());
    } else if (section == "gradient") {
      ReadGradient(r, layer.Gradient());
    } else if (section == "alpha") {
      ReadAlphaChannel(r, layer.AlphaChannel());
      alpha_read = true;
    } else {
      break;
    }
  }
  if (!alpha_read) ResetAlphaChannel(layer.AlphaChannel());
}

}  // namespace

void ReadLayer(TParReader& r, TLayer& layer) {
  layer.BeginUpdate();
  try {
    const int method = ReadLayerKeys(r, layer);
    ReadLayerSections(r, layer);
    layer.Formula().SetMethod(static_cast<TCalcMethod>(method));
    layer.SetMethod(method);
  } catch (...) {
    layer.EndUpdate();
    throw;
  }
  layer.EndUpdate();
}

}  // namespace zt
