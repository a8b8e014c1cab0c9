// Reading a Fractint parameter entry key by key into a new layer, and what the
// end of the entry settles: iterations, parameters, skew and stretch, colorings.
#include "document/fractint/fractint_import.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "document/fractal.h"
#include "document/fractint/fractint_coloring.h"
#include "document/fractint/fractint_entries.h"
#include "document/fractint/fractint_formula_file.h"
#include "document/fractint/fractint_location.h"
#include "document/fractint/fractint_palette.h"
#include "document/fractint/fractint_values.h"
#include "document/params/par_reader.h"
#include "document/settings/config_manager.h"
#include "platform/format.h"
#include "platform/program_folder.h"
#include "platform/text.h"

namespace zt {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultFormulaFile = "Fractint.frm";
constexpr long double kMaxWindowSize = 65535;

// The file name without the folders a DOS or Unix path puts in front of it.
std::string WithoutFolder(const std::string& file) {
  const size_t slash = file.find_last_of("/\\");
  return slash == std::string::npos ? file : file.substr(slash + 1);
}

// The MAP palette file a colors key names, in the gradient folder: the name as
// it stands or with ".map" added, compared without regard to case. An absolute
// path that exists stands as it is.
fs::path MapFile(const std::string& value) {
  std::error_code error;
  if (value.starts_with('/') && fs::is_regular_file(value, error)) return value;
  const fs::path folder = ResolveFolder(ConfigManager().GradientDirectory);
  const std::string name = WithoutFolder(value);
  for (const std::string& candidate : {name, name + ".map"}) {
    if (fs::is_regular_file(folder / candidate, error)) return folder / candidate;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (SameText(it->path().filename().string(), candidate) && it->is_regular_file(error))
        return it->path();
    }
  }
  return folder / name;
}

// What the keys say about the formula and the view, kept for the end of the entry.
struct TImportState {
  std::optional<int> Method;
  bool TypeGiven = false;
  bool FormulaType = false;
  bool FormulaNamed = false;
  std::string FormulaFile, FormulaName;
  std::vector<long double> Params;
  std::vector<std::string> Functions;
  int MaxIterations = 149;
  std::optional<int> Periodicity;
  long double Bailout = -1;
  int BailoutTest = 0;
  TFractintView View;
  long double ViewFactor = 1;
  TFractintColoring Coloring;
};

// The position of `word` among `words`, or `fallback`.
int WordIndex(const std::string& word, std::initializer_list<const char*> words, int fallback) {
  int index = 0;
  for (const char* w : words) {
    if (word == w) return index;
    ++index;
  }
  return fallback;
}

class TFractintImport {
 public:
  TFractintImport(TFractal& fractal, TParReader& r, bool ignore_size)
      : fractal_(fractal), r_(r), ignore_size_(ignore_size) {}

  void Run(const std::string& first_key) {
    Start();
    std::string key = first_key;
    for (;;) {
      if (!key.empty()) {
        ReadKey(key);
        if (state_.FormulaType && !state_.FormulaName.empty()) LoadFormulaFile();
      }
      // Sections have no meaning here: ReadKey steps over their names.
      if (!r_.ReadKey(key) && r_.SectionName().empty()) break;
    }
    // Comment entries and carried formulas of parameter files are no images.
    if (!state_.TypeGiven) r_.NoteSkipped("The entry '" + r_.EntryName + "' names no fractal type");
    if (state_.FormulaType && !state_.FormulaNamed)
      r_.NoteSkipped("The entry '" + r_.EntryName + "' names no formula");
    FinishFormula();
    FinishView();
    ApplyFractintColoring(Layer(), state_.Coloring, state_.MaxIterations,
                          ConfigManager().ImportSmoothColoring, r_);
    // Only a complete layer replaces the document's layers. A view window may
    // have changed the size since the layer was made.
    Layer().SetImageSize(fractal_.Width(), fractal_.Height());
    fractal_.ClearLayers();
    fractal_.AppendLayer(std::move(layer_));
  }

 private:
  TLayer& Layer() { return *layer_; }

  void Start();
  void ReadKey(const std::string& key);
  void ReadType(const std::string& type);
  void ReadViewWindows();
  void ReadColors();
  void ApplyView();
  void LoadFormulaFile();
  void FinishFormula();
  void FinishView();

  TFractal& fractal_;
  TParReader& r_;
  const bool ignore_size_;
  std::unique_ptr<TLayer> layer_;
  TImportState state_;
};

void TFractintImport::Start() {
  const TConfigManager& config = ConfigManager();
  if (!ignore_size_) {
    fractal_.SetWidth(config.DefaultImageWidth);
    fractal_.SetHeight(config.DefaultImageHeight);
    fractal_.SetResolution(static_cast<double>(config.DefaultImageResolution));
    fractal_.SetGamma(static_cast<double>(config.DefaultImageGamma));
  }
  layer_ = fractal_.NewLayer();
  Layer().SetCaption("Layer 1");
  LoadShippedColoring(Layer().InsideColoring(), "inside", r_);
  if (config.ImportFixedAspectRatio) InsertShippedTransform(Layer(), 0, "ViewWindow", {}, r_);
}

void TFractintImport::ReadKey(const std::string& key) {
  if (state_.Coloring.ReadKey(key, r_)) return;
  const std::string word = r_.ValueWord();
  TImportState& s = state_;
  if (key == "passes") {
    if (word.size() <= 2 && word.starts_with('g')) {
      s.Method = kMethodGuessing;
    } else {
      s.Method = word == "2" || word == "3" ? kMethodMultiPass : kMethodOnePass;
    }
  } else if (key == "type") {
    ReadType(word);
  } else if (key == "params") {
    s.Params = FractintNumbers(r_);
  } else if (key == "function") {
    s.Functions = FractintItems(word);
  } else if (key == "formulaname") {
    s.FormulaName = r_.ValueText();
    s.FormulaNamed = true;
  } else if (key == "formulafile") {
    s.FormulaFile = r_.ValueText();
  } else if (key == "maxiter") {
    s.MaxIterations = std::max(r_.ValueInteger(), 2) - 1;
  } else if (key == "corners") {
    if (ReadCorners(FractintNumbers(r_), s.View)) ApplyView();
  } else if (key == "center-mag") {
    ReadCenterMag(FractintNumbers(r_), s.View);
    ApplyView();
  } else if (key == "viewwindows") {
    ReadViewWindows();
  } else if (key == "bailout") {
    s.Bailout = r_.ValueFloat();
  } else if (key == "bailoutest") {
    s.BailoutTest = WordIndex(word, {"mod", "real", "imag", "or", "and", "manh", "manr"}, 0);
  } else if (key == "periodicity") {
    // Fractint switches the check off with "no" and with 0.
    const std::optional<int> number = FractintInteger(word);
    if (word == "no" || number == 0) {
      s.Periodicity = 0;
    } else {
      s.Periodicity = number && *number >= 2 ? 1 : 2;
    }
  } else if (key == "colors") {
    ReadColors();
  } else if (key == "invert") {
    const std::vector<long double> numbers = FractintNumbers(r_);
    if (numbers.front() != 0) {
      const TComplex center =
          numbers.size() >= 3 ? TComplex(numbers[1], numbers[2]) : Layer().Mapping().Center();
      InsertShippedTransform(Layer(), Layer().Mapping().Transforms().Count(), "Inverse",
                             {{"radius", FloatValue(numbers.front())},
                              {"center", ComplexValue(center.real(), center.imag())}},
                             r_);
    }
  }
}

void TFractintImport::ReadType(const std::string& type) {
  state_.TypeGiven = true;
  state_.FormulaType = type == "formula";
  if (state_.FormulaType) return;
  std::string name = type;
  for (char& c : name) {
    if (c == '(') c = '[';
    if (c == ')') c = ']';
  }
  LoadShippedEntry(Layer().Formula(), kFractintFormulas, kParFormula, name, r_);
}

void TFractintImport::ReadViewWindows() {
  const std::vector<std::string> items = FractintItems(r_.ValueText());
  if (items.size() < 2) return;
  auto number = [&](size_t i) -> long double {
    if (i >= items.size()) return 0;
    const std::optional<long double> value = FractintNumber(items[i]);
    if (!value) r_.Error();
    return *value;
  };
  // A size beyond any screen counts as not given.
  auto size = [&](size_t i) { return number(i) <= kMaxWindowSize ? number(i) : 0.0L; };
  long double ratio = number(1);
  if (ratio < 0.1L || ratio > 10) ratio = 0.75L;
  const TConfigManager& config = ConfigManager();
  long double width = size(3), height = size(4);
  if (width <= 0) {
    width = config.DefaultImageWidth;
    height = std::round(width * ratio);
    if (height > config.DefaultImageHeight) {
      height = config.DefaultImageHeight;
      width = std::round(height / ratio);
    }
  } else if (height <= 0) {
    height = std::round(width * ratio);
  }
  if (!ignore_size_) {
    fractal_.SetWidth(static_cast<int>(width));
    fractal_.SetHeight(static_cast<int>(height));
  }
  const int at = TransformIndex(Layer(), "ViewWindow");
  if (at < 0) {
    InsertShippedTransform(Layer(), 0, "ViewWindow", {{"ar", FloatValue(ratio)}}, r_);
  } else {
    SetDeclared(Layer().Mapping().Transforms().Item(at), {{"ar", FloatValue(ratio)}});
  }
  state_.ViewFactor = 0.75L / ratio;
}

void TFractintImport::ReadColors() {
  const std::string& value = r_.ValueText();
  TGradient& gradient = Layer().Gradient();
  if (value.size() > 1 && value[0] == '@') {
    try {
      gradient.ImportMAP(MapFile(value.substr(1)));
    } catch (const EZentrope& e) {
      r_.NoteSkipped(e.what());
    }
    return;
  }
  const std::optional<std::vector<TRGB12>> colors = DecodeFractintPalette(value);
  if (!colors) r_.Error();
  if (!colors->empty()) gradient.ImportPalette(FullPalette(*colors), false, false);
}

void TFractintImport::ApplyView() {
  TMapping& mapping = Layer().Mapping();
  const TFractintView& view = state_.View;
  mapping.SetCenter(view.Center);
  if (std::isfinite(view.Magnification) && view.Magnification > 0)
    mapping.SetMagnification(view.Magnification);
  if (std::isfinite(view.Rotation)) mapping.SetAngle(view.Rotation);
}

void TFractintImport::LoadFormulaFile() {
  const std::string file =
      state_.FormulaFile.empty() ? kDefaultFormulaFile : WithoutFolder(state_.FormulaFile);
  const std::string name = state_.FormulaName;
  state_.FormulaFile.clear();
  state_.FormulaName.clear();
  TFormula& formula = Layer().Formula();
  try {
    formula.LoadEntry(TParReader::InKindFolder(file, kParFormula), name);
  } catch (const ECodeError&) {
    const std::string found = FindFractintFormula(TParReader::KindFolder(kParFormula), name);
    if (!found.empty()) return formula.SetEntry(found, name);
    std::string carried_file = file, carried_entry = name;
    if (!r_.FindEntry(carried_file, carried_entry, kParFormula)) throw;
    formula.LoadEntry(carried_file, carried_entry);
  }
}

void TFractintImport::FinishFormula() {
  const TImportState& s = state_;
  TFormula& formula = Layer().Formula();
  std::vector<TNamedParamValue> values;
  std::vector<TNamedFunction> functions;
  auto number = [&](size_t i) { return i < s.Params.size() ? s.Params[i] : 0.0L; };
  if (s.FormulaType) {
    // p1, p2, ... take the numbers in pairs; a last one alone is a real value.
    for (size_t i = 0; i * 2 < s.Params.size(); ++i)
      values.push_back(
          {Format("p%d", static_cast<int>(i) + 1), ComplexValue(number(2 * i), number(2 * i + 1))});
    for (size_t i = 0; i < s.Functions.size(); ++i) {
      if (const auto code = FunctionCodeFromStorageName(s.Functions[i]))
        functions.push_back({Format("fn%d", static_cast<int>(i) + 1), *code});
    }
  } else {
    // Fractint's bailout 0 stands for the type's own value.
    long double bailout = s.Bailout;
    const TFractintColoring& coloring = s.Coloring;
    if (coloring.Outside == TFractintOutside::kPotential && coloring.PotentialBailout > 0)
      bailout = coloring.PotentialBailout;
    if (bailout > 0) values.push_back({"bailout", FloatValue(bailout)});
    values.push_back({"test", IntValue(s.BailoutTest)});
    size_t next = 0;
    for (int i = 0; i < formula.Params().Count() && next < s.Params.size(); ++i) {
      const TParam& p = formula.Params().Items(i);
      switch (p.ParamType()) {
        case kTypeComplex:
          values.push_back({p.Name(), ComplexValue(number(next), number(next + 1))});
          next += 2;
          break;
        case kTypeFloat: values.push_back({p.Name(), FloatValue(number(next++))}); break;
        case kTypeInt:
          values.push_back({p.Name(), IntValue(static_cast<int>(std::lround(number(next++))))});
          break;
        case kTypeBool: ++next; break;
      }
    }
    for (int i = 0; i < formula.Funcs().Count() && i < static_cast<int>(s.Functions.size()); ++i) {
      if (const auto code = FunctionCodeFromStorageName(s.Functions[static_cast<size_t>(i)]))
        functions.push_back({formula.Funcs().Items(i).Name(), *code});
    }
  }
  const int periodicity = s.Periodicity.value_or(formula.Periodicity());
  if (formula.IsEmpty()) {
    formula.SetMaxIterations(s.MaxIterations);
    formula.SetPeriodicity(periodicity);
  } else {
    const std::string file = formula.Code().FileName, entry = formula.Code().EntryName;
    formula.ApplyParameters(file, entry, s.MaxIterations, periodicity, values, functions);
  }
  if (s.Method) {
    formula.SetMethod(static_cast<TCalcMethod>(*s.Method));
    Layer().SetMethod(*s.Method);
  }
}

void TFractintImport::FinishView() {
  const TFractintView& view = state_.View;
  const long double xmag = view.XMagnification * state_.ViewFactor;
  if (std::fabs(view.Skew) + std::fabs(xmag - 1) <= 0.001L) return;
  const int at = TransformIndex(Layer(), "ViewWindow") == 0 ? 1 : 0;
  InsertShippedTransform(Layer(), at, "SkewStretch",
                         {{"skew", FloatValue(view.Skew)}, {"xmag", FloatValue(xmag)}}, r_);
}

}  // namespace

void ImportFractint(TFractal& fractal, TParReader& r, const std::string& first_key,
                    bool ignore_size) {
  TFractintImport(fractal, r, ignore_size).Run(first_key);
}

}  // namespace zt
