// Sections, symbol rules and the procedure of transformation entries.
#include "formula/transform.h"

#include "formula/procedures.h"

namespace zt {

namespace {

constexpr TSymbolSet kTransformReadable =
    SymbolBit(syPixel) | SymbolBit(syRandom) | SymbolBit(syPi) | SymbolBit(syE) |
    SymbolBit(syScreenMax) | SymbolBit(syScreenPixel) | SymbolBit(syWhiteSq) |
    SymbolBit(syWidth) | SymbolBit(syHeight) | SymbolBit(syX) | SymbolBit(syY) |
    SymbolBit(syCenter) | SymbolBit(syMagn) | SymbolBit(syAngle);

}  // namespace

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
  if (label == "TRANSFORM") return skCode;
  if (label == "DEFAULT") return skSettingsWithBlocks;
  return skInvalid;
}

bool TTransform::FunctionAllowed(const std::string&, int function) { return function != fnOldZ; }

bool TTransform::SymbolReadable(const std::string&, int symbol) {
  return (kTransformReadable & SymbolBit(symbol)) != 0;
}

bool TTransform::SymbolWritable(const std::string&, int symbol) {
  return symbol == syPixel || symbol == sySolid;
}

}  // namespace zt
