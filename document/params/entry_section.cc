// Reading and writing the entry sections; the shared part is the entry naming
// and the parameter and function items.
#include "document/params/entry_section.h"

#include <array>
#include <filesystem>
#include <functional>

#include "formula/language/code.h"
#include "platform/text.h"

namespace zt {

namespace {

constexpr std::array<const char*, 4> kPeriodicityWords = {"off", "conservative", "normal", "rough"};
constexpr std::array<const char*, 10> kTransferWords = {
    "none", "linear", "sqr", "sqrt", "cube", "cuberoot", "log", "exp", "sin", "arctan"};

template <size_t N>
int WordIndex(const std::array<const char*, N>& words, const std::string& word) {
  for (size_t i = 0; i < N; ++i) {
    if (word == words[i]) return static_cast<int>(i);
  }
  return -1;
}

void WriteEntryItems(TParWriter& w, TFormulaBase& object) {
  w.WriteString("filename", std::filesystem::path(object.Code().FileName).filename().string());
  w.WriteString("entry", object.Code().EntryName);
}

void WriteValueItems(TParWriter& w, TFormulaBase& object) {
  TParamList& params = object.Params();
  for (int i = 0; i < params.Count(); ++i) {
    const TParam& p = params.Items(i);
    const std::string key = std::string(kParamKeyPrefix) + p.Name();
    switch (p.ParamType()) {
      case kTypeComplex: w.WriteComplex(key, p.AsComplex()); break;
      case kTypeFloat: w.WriteFloat(key, p.AsFloat()); break;
      case kTypeInt:
        if (p.EnumItems() && !p.EnumItems()->empty()) {
          w.WriteString(key, (*p.EnumItems())[static_cast<size_t>(p.AsInteger())]);
        } else {
          w.WriteInteger(key, p.AsInteger());
        }
        break;
      case kTypeBool: w.WriteBoolean(key, p.AsBoolean()); break;
    }
  }
  TFuncList& funcs = object.Funcs();
  for (int i = 0; i < funcs.Count(); ++i) {
    const TFunc& f = funcs.Items(i);
    w.WriteWord(std::string(kFuncKeyPrefix) + f.Name(),
                std::string(FunctionStorageName(f.FuncCode())));
  }
}

// The entry items of one section as they are read: the entry is loaded as soon
// as both names are known, and the values found for it are kept for the end of
// the section, when the object kind applies them.
class TEntryItems {
 public:
  using TLoader = std::function<void(const std::string& file, const std::string& entry)>;

  TEntryItems(TParReader& r, TFormulaBase& object, TParEntryKind kind, TLoader load)
      : r_(r), object_(object), kind_(kind), load_(std::move(load)) {}

  // True when `key` was one of the entry items.
  bool Read(const std::string& key) {
    if (key == "filename" || key == "entry") {
      (key == "filename" ? file_ : entry_) = r_.ValueText();
      if (!file_.empty() && !entry_.empty() && !attempted_) Load();
      return true;
    }
    const bool param = key.starts_with(kParamKeyPrefix);
    if (!param && !key.starts_with(kFuncKeyPrefix)) return false;
    if (!loaded_) return true;
    const std::string name = key.substr(2);
    if (param) {
      ReadParam(name);
    } else {
      ReadFunc(name);
    }
    return true;
  }

  bool Loaded() const { return loaded_; }
  const std::string& File() const { return file_; }
  const std::string& Entry() const { return entry_; }
  const std::vector<TNamedParamValue>& Values() const { return values_; }
  const std::vector<TNamedFunction>& Functions() const { return functions_; }

 private:
  void Load() {
    attempted_ = true;
    try {
      load_(TParReader::InKindFolder(file_, kind_), entry_);
      loaded_ = true;
      return;
    } catch (const ECodeError&) {
    }
    std::string file = file_, entry = entry_;
    if (!r_.FindEntry(file, entry, kind_)) return;
    try {
      load_(file, entry);
      file_ = file;
      entry_ = entry;
      loaded_ = true;
    } catch (const ECodeError&) {
    }
  }

  void ReadParam(const std::string& name) {
    const int index = object_.Params().IndexOfName(name);
    if (index < 0) {
      r_.ReportMissingParameter(file_, entry_, name);
      return;
    }
    const TParam& p = object_.Params().Items(index);
    TLiteral value;
    switch (p.ParamType()) {
      case kTypeComplex: {
        const auto c = r_.ValueComplex();
        value = TLiteral::MakeComplex(c.real(), c.imag());
        break;
      }
      case kTypeFloat: value = TLiteral::MakeFloat(r_.ValueFloat()); break;
      case kTypeInt:
        if (r_.IsQuoted()) {
          const int item = EnumIndex(p, r_.ValueText());
          if (item < 0) return;
          value = TLiteral::MakeInt(item);
        } else {
          value = TLiteral::MakeInt(r_.ValueInteger());
        }
        break;
      case kTypeBool: value = TLiteral::MakeBool(r_.ValueBoolean()); break;
    }
    values_.push_back({p.Name(), {p.ParamType(), SlotFromLiteral(value)}});
  }

  static int EnumIndex(const TParam& p, const std::string& text) {
    if (!p.EnumItems()) return -1;
    const auto& items = *p.EnumItems();
    for (size_t i = 0; i < items.size(); ++i) {
      if (SameText(items[i], text)) return static_cast<int>(i);
    }
    return -1;
  }

  void ReadFunc(const std::string& name) {
    const int index = object_.Funcs().IndexOfName(name);
    if (index < 0) {
      r_.ReportMissingParameter(file_, entry_, name);
      return;
    }
    const auto code = FunctionCodeFromStorageName(r_.ValueWord());
    if (code) functions_.push_back({object_.Funcs().Items(index).Name(), *code});
  }

  TParReader& r_;
  TFormulaBase& object_;
  TParEntryKind kind_;
  TLoader load_;
  std::string file_, entry_;
  bool attempted_ = false;
  bool loaded_ = false;
  std::vector<TNamedParamValue> values_;
  std::vector<TNamedFunction> functions_;
};

}  // namespace

void WriteTransform(TParWriter& w, TTransform& transform) {
  w.Section("transform");
  WriteEntryItems(w, transform);
  if (!transform.Enabled()) w.WriteBoolean("enabled", false);
  WriteValueItems(w, transform);
}

std::unique_ptr<TTransform> ReadTransform(TParReader& r) {
  auto transform = std::make_unique<TTransform>();
  TTransformSettings settings;
  TEntryItems items(r, *transform, kParTransformation,
                    [&](const std::string& file, const std::string& entry) {
                      settings.FileName = file;
                      settings.EntryName = entry;
                      transform->ApplyParameters(settings);
                    });
  std::string key;
  while (r.ReadKey(key)) {
    if (items.Read(key)) continue;
    if (key == "enabled") settings.Enabled = r.ValueBoolean();
  }
  if (!items.Loaded() || transform->IsEmpty()) return nullptr;
  for (const TNamedParamValue& v : items.Values()) settings.Params.emplace_back(v.Name, v.Value);
  for (const TNamedFunction& f : items.Functions()) settings.Funcs.emplace_back(f.Name, f.Code);
  transform->ApplyParameters(settings);
  return transform;
}

void WriteFormula(TParWriter& w, TFormula& formula) {
  w.Section("formula");
  if (!formula.IsEmpty()) WriteEntryItems(w, formula);
  w.WriteInteger("maxiter", formula.MaxIterations());
  const int periodicity = formula.Periodicity();
  if (periodicity >= 0 && periodicity < static_cast<int>(kPeriodicityWords.size())) {
    w.WriteWord("percheck", kPeriodicityWords[static_cast<size_t>(periodicity)]);
  }
  WriteValueItems(w, formula);
}

void ReadFormula(TParReader& r, TFormula& formula) {
  int max_iterations = 100;
  int periodicity = 2;
  TEntryItems items(r, formula, kParFormula,
                    [&](const std::string& file, const std::string& entry) {
                      formula.ApplyParameters(file, entry, max_iterations, periodicity, {}, {});
                    });
  std::string key;
  while (r.ReadKey(key)) {
    if (items.Read(key)) continue;
    if (key == "maxiter") {
      max_iterations = r.ValueInteger();
    } else if (key == "percheck") {
      const int word = WordIndex(kPeriodicityWords, r.ValueWord());
      if (word >= 0) periodicity = word;
    }
  }
  if (items.Loaded()) {
    formula.ApplyParameters(items.File(), items.Entry(), max_iterations, periodicity,
                            items.Values(), items.Functions());
    return;
  }
  formula.Reset();
  formula.SetMaxIterations(max_iterations);
  formula.SetPeriodicity(periodicity);
}

void WriteColoring(TParWriter& w, TColoring& coloring) {
  w.Section(coloring.Inside() ? "inside" : "outside");
  if (!coloring.IsEmpty()) WriteEntryItems(w, coloring);
  if (coloring.Density() != 1) w.WriteFloat("density", coloring.Density());
  w.WriteWord("transfer", kTransferWords[static_cast<size_t>(coloring.Transfer())]);
  if (coloring.Offset() != 0) w.WriteInteger("offset", coloring.Offset());
  w.WriteBoolean("repeat", coloring.Repeat());
  WriteValueItems(w, coloring);
}

void ReadColoring(TParReader& r, TColoring& coloring) {
  long double density = 1;
  int transfer = kTransferLinear;
  int offset = 0;
  bool repeat = !coloring.Inside();
  TEntryItems items(r, coloring, coloring.Inside() ? kParInsideColoring : kParOutsideColoring,
                    [&](const std::string& file, const std::string& entry) {
                      coloring.SetKeepValues(false);
                      coloring.LoadEntry(file, entry);
                    });
  std::string key;
  while (r.ReadKey(key)) {
    if (items.Read(key)) continue;
    if (key == "density") {
      density = r.ValueFloat();
    } else if (key == "transfer") {
      const int word = WordIndex(kTransferWords, r.ValueWord());
      if (word >= 0) transfer = word;
    } else if (key == "offset") {
      offset = r.ValueInteger();
    } else if (key == "repeat") {
      repeat = r.ValueBoolean();
    }
  }
  if (!items.Loaded()) coloring.ClearEntry();
  coloring.BeginUpdate();
  try {
    for (const TNamedParamValue& v : items.Values()) {
      coloring.Params().Items(coloring.Params().IndexOfName(v.Name)).SetValue(v.Value);
    }
    for (const TNamedFunction& f : items.Functions()) {
      coloring.Funcs().Items(coloring.Funcs().IndexOfName(f.Name)).SetFuncCode(f.Code);
    }
    coloring.SetDensity(density);
    coloring.SetTransfer(transfer);
    coloring.SetOffset(offset);
    coloring.SetRepeat(repeat);
  } catch (...) {
    coloring.EndUpdate();
    throw;
  }
  coloring.EndUpdate();
}

}  // namespace zt
