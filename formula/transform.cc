// Sections and symbol rules of transformation entries.
#include "formula/transform.h"

namespace zt {

namespace {

constexpr TSymbolSet kTransformReadable =
    SymbolBit(syPixel) | SymbolBit(syRandom) | SymbolBit(syPi) | SymbolBit(syE) |
    SymbolBit(syScreenMax) | SymbolBit(syScreenPixel) | SymbolBit(syWhiteSq) |
    SymbolBit(syWidth) | SymbolBit(syHeight) | SymbolBit(syX) | SymbolBit(syY) |
    SymbolBit(syCenter) | SymbolBit(syMagn) | SymbolBit(syAngle);

}  // namespace

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
