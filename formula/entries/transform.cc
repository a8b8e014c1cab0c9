// Sections, symbol rules, the procedure and the parameter-file values of
// transformation entries.
#include "formula/entries/transform.h"

#include "formula/codegen/procedures.h"

namespace zt {

namespace {

constexpr TSymbolSet kTransformReadable =
    SymbolBit(kSymbolPixel) | SymbolBit(kSymbolRandom) | SymbolBit(kSymbolPi) |
    SymbolBit(kSymbolE) | SymbolBit(kSymbolScreenMax) | SymbolBit(kSymbolScreenPixel) |
    SymbolBit(kSymbolWhiteSq) | SymbolBit(kSymbolWidth) | SymbolBit(kSymbolHeight) |
    SymbolBit(kSymbolX) | SymbolBit(kSymbolY) | SymbolBit(kSymbolCenter) | SymbolBit(kSymbolMagn) |
    SymbolBit(kSymbolAngle);

}  // namespace

void TTransform::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Change(2);
}

// The file is searched for below its folder when loaded, so only its name is
// compared: a parameter file names the same entry from another place.
void TTransform::ApplyParameters(const TTransformSettings& settings) {
  if (!HoldsEntry(settings.FileName, settings.EntryName)) {
    SetKeepValues(false);
    // Compiled at once: the values below need the entry's parameters.
    LoadEntry(settings.FileName, settings.EntryName);
  }
  BeginUpdate();
  try {
    SetEnabled(settings.Enabled);
    for (const auto& [name, value] : settings.Params) {
      const int index = Params().IndexOfName(name);
      if (index >= 0) Params().Items(index).SetValue(value);
    }
    for (const auto& [name, code] : settings.Funcs) {
      const int index = Funcs().IndexOfName(name);
      if (index >= 0) Funcs().Items(index).SetFuncCode(code);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TTransformSettings TTransform::SaveSettings() const {
  TTransformSettings settings;
  settings.FileName = Code().FileName;
  settings.EntryName = Code().EntryName;
  settings.Enabled = enabled_;
  for (int i = 0; i < Params().Count(); ++i)
    settings.Params.emplace_back(Params().Items(i).Name(), Params().Items(i).GetValue());
  for (int i = 0; i < Funcs().Count(); ++i)
    settings.Funcs.emplace_back(Funcs().Items(i).Name(), Funcs().Items(i).FuncCode());
  return settings;
}

void TTransform::SectionCompiled(const std::string&, TCodeBuffer code) { code_ = std::move(code); }

void TTransform::DiscardCode() {
  code_ = TCodeBuffer();
  procedure_ = TCodeBuffer();
}

void TTransform::AssembleCode() {
  procedure_ = BuildTransformProcedure(code_.Bytes());
  code_ = TCodeBuffer();
}

TSectionKind TTransform::ClassifyLabel(const std::string& label) {
  if (label == "TRANSFORM") return kSectionCode;
  if (label == "DEFAULT") return kSectionSettingsWithBlocks;
  return kSectionInvalid;
}

bool TTransform::FunctionAllowed(const std::string&, int function) {
  return function != kFunctionOldZ;
}

bool TTransform::SymbolReadable(const std::string&, int symbol) {
  return (kTransformReadable & SymbolBit(symbol)) != 0;
}

bool TTransform::SymbolWritable(const std::string&, int symbol) {
  return symbol == kSymbolPixel || symbol == kSymbolSolid;
}

}  // namespace zt
