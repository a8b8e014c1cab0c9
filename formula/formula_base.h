// The common base of the entry objects (formula, coloring algorithm,
// transformation): an entry's identity, title and help, on top of the compiler.
#pragma once

#include <cstdint>
#include <string>

#include "formula/optimizer.h"

namespace zt {

// A set of predefined symbols, one bit per symbol code.
using TSymbolSet = std::uint32_t;
constexpr TSymbolSet SymbolBit(int symbol) { return TSymbolSet{1} << symbol; }

// What formula code may read; coloring code reads the same.
constexpr TSymbolSet kFormulaReadable =
    SymbolBit(syPixel) | SymbolBit(syRandom) | SymbolBit(syPi) | SymbolBit(syE) |
    SymbolBit(syMaxIter) | SymbolBit(syScreenMax) | SymbolBit(syScreenPixel) |
    SymbolBit(syWhiteSq) | SymbolBit(syWidth) | SymbolBit(syHeight) | SymbolBit(syX) |
    SymbolBit(syY) | SymbolBit(syCenter) | SymbolBit(syMagn) | SymbolBit(syAngle) | SymbolBit(syZ);

// Used on the thread that owns the entry object (the user-interface thread).
class TFormulaBase : public TOptimizer {
 public:
  // The TITLE setting, the entry name when there is none, "(None)" without an entry.
  const std::string& Title() const { return title_; }
  const std::string& HelpFile() const { return help_file_; }
  const std::string& HelpTopic() const { return help_topic_; }

 protected:
  int StringSetting(const std::string& section, const std::string& upperName,
                    const std::string& value) override;
  void BeginCompile() override;
  void Clear() override;

 private:
  std::string title_ = "(None)";
  std::string help_file_;
  std::string help_topic_;
};

}  // namespace zt
