// Reading Fractint's coloring keys and setting up the colorings of Fractint.zcl.
#include "document/fractint/fractint_coloring.h"

#include <cmath>
#include <initializer_list>
#include <optional>
#include <vector>

#include "document/fractint/fractint_entries.h"
#include "document/fractint/fractint_values.h"

namespace zt {

namespace {

constexpr int kPaletteColors = 256;

// The position of `word` among `words`, or -1.
int WordIndex(const std::string& word, std::initializer_list<const char*> words) {
  int index = 0;
  for (const char* w : words) {
    if (word == w) return index;
    ++index;
  }
  return -1;
}

// The color the layer's gradient shows for a Fractint color number: the
// palette's color c sits at gradient index c * 399 / 255, on a control point
// where the palette bends (the convert table blends the ring's last segment
// into entry 0) and on a straight run between points elsewhere.
TRGB12 GradientColor(TLayer& layer, int color) {
  const int index = std::max(color, 0) * (kGradientIndices - 1) / (kPaletteColors - 1);
  for (const TGradientPoint* p = layer.Gradient().First(); p; p = p->Next)
    if (p->Index == index) return p->Color;
  const TColorEntry& entry = layer.ConvertTable()[index * kEntriesPerIndex];
  return {Channel8To12(entry.Red), Channel8To12(entry.Green), Channel8To12(entry.Blue)};
}

// The number of halvings that bring a decomposition down to 2 sectors or fewer.
int Halvings(long double decomp) {
  int halvings = 0;
  for (; decomp > 2 && halvings < 8; decomp /= 2) ++halvings;
  return halvings;
}

// Color numbers from 256 on wrap around to 1 to 255, as in Fractint.
int WrapFractintColor(int color) {
  return color >= kPaletteColors ? (color - 1) % (kPaletteColors - 1) + 1 : color;
}

}  // namespace

bool TFractintColoring::ReadKey(const std::string& key, const TParReader& r) {
  const std::string word = r.ValueWord();
  const std::optional<int> number = FractintInteger(word);
  if (key == "inside") {
    if (number && *number >= -1 && *number <= 255) {
      InsideMode = 0;
      InsideColor = *number;
    } else if (word == "maxiter") {
      InsideMode = 0;
      InsideColor = -1;
    } else if (word == "epsiloncross") {
      InsideMode = 4;
    } else {
      InsideMode =
          std::max(WordIndex(word, {"", "zmag", "bof60", "bof61", "epscross", "period"}), 0);
    }
  } else if (key == "outside") {
    if (number && *number >= 0 && *number <= 255) {
      OutsideMode = 0;
      OutsideColor = *number;
    } else {
      OutsideMode = std::max(WordIndex(word, {"", "", "real", "imag", "mult", "summ", "atan"}), 1);
    }
  } else if (key == "logmap") {
    Logmap = word == "yes" ? 1 : word == "old" ? -1 : number.value_or(0);
  } else if (key == "biomorph") {
    Biomorph = number.value_or(-1);
  } else if (key == "decomp") {
    // Fractint's decomposition needs two sectors at least; 0 and 1 switch it off.
    Decomp = FractintNumbers(r).front();
    if (Decomp >= 2 && Outside == TFractintOutside::kPlain)
      Outside = TFractintOutside::kDecomposition;
  } else if (key == "potential") {
    // A color count of 0 is Fractint's way of writing "no potential".
    const std::vector<long double> numbers = FractintNumbers(r);
    PotentialColors = static_cast<int>(std::lround(numbers.front()));
    if (numbers.size() > 1) PotentialSlope = numbers[1];
    if (numbers.size() > 2) PotentialBailout = numbers[2];
    if (PotentialColors > 0) Outside = TFractintOutside::kPotential;
  } else {
    return false;
  }
  return true;
}

void ApplyFractintColoring(TLayer& layer, const TFractintColoring& c, int max_iterations,
                           bool smooth, TParReader& r) {
  TColoring& outside = layer.OutsideColoring();
  std::vector<TNamedParamValue> values = {{"logmap", IntValue(c.Logmap)},
                                          {"smooth", BoolValue(smooth)}};
  switch (c.Outside) {
    case TFractintOutside::kDecomposition:
      LoadShippedColoring(outside, "decomp", r);
      values.push_back({"decomp", IntValue(Halvings(c.Decomp))});
      break;
    case TFractintOutside::kPotential:
      LoadShippedColoring(outside, "potential", r);
      values.push_back({"maxcol", IntValue(c.PotentialColors)});
      values.push_back({"slope", FloatValue(c.PotentialSlope)});
      break;
    case TFractintOutside::kPlain: {
      LoadShippedColoring(outside, "outside", r);
      values.push_back({"outside", IntValue(c.OutsideMode)});
      values.push_back({"n", IntValue(c.OutsideColor)});
      values.push_back({"biomorph", IntValue(c.Biomorph)});
      const TParamList& params = layer.Formula().Params();
      const int bailout = params.IndexOfName("bailout");
      if (bailout >= 0 && params.Items(bailout).ParamType() == kTypeFloat)
        values.push_back({"bailout", FloatValue(params.Items(bailout).AsFloat())});
      break;
    }
  }
  SetDeclared(outside, values);

  TColoring& inside = layer.InsideColoring();
  SetDeclared(inside, {{"inside", IntValue(c.InsideMode)},
                       {"n", IntValue(c.InsideColor)},
                       {"smooth", BoolValue(smooth)}});
  if (c.InsideMode != 0) {
    inside.SetTransfer(kTransferLinear);
    return;
  }
  // Fractint's maximum iterations are one above the formula's.
  const int color = c.InsideColor < 0 ? max_iterations + 1 : c.InsideColor;
  layer.SetInsideColor(GradientColor(layer, WrapFractintColor(color)));
  inside.SetTransfer(kTransferNone);
}

}  // namespace zt
