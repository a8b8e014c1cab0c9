// The common base of the entry objects (formula, coloring algorithm,
// transformation): an entry's identity, title and help, on top of the compiler,
// and the life of its compiled code: dropped before every compilation and on a
// failed one, assembled by the entry kind after a successful one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formula/codegen/compiler.h"
#include "platform/desktop.h"

namespace zt {

// A set of predefined symbols, one bit per symbol code.
using TSymbolSet = std::uint32_t;
constexpr TSymbolSet SymbolBit(int symbol) { return TSymbolSet{1} << symbol; }

// What formula code may read; coloring code reads the same.
constexpr TSymbolSet kFormulaReadable =
    SymbolBit(kSymbolPixel) | SymbolBit(kSymbolRandom) | SymbolBit(kSymbolPi) |
    SymbolBit(kSymbolE) | SymbolBit(kSymbolMaxIter) | SymbolBit(kSymbolScreenMax) |
    SymbolBit(kSymbolScreenPixel) | SymbolBit(kSymbolWhiteSq) | SymbolBit(kSymbolWidth) |
    SymbolBit(kSymbolHeight) | SymbolBit(kSymbolX) | SymbolBit(kSymbolY) |
    SymbolBit(kSymbolCenter) | SymbolBit(kSymbolMagn) | SymbolBit(kSymbolAngle) |
    SymbolBit(kSymbolZ);

extern const char* const kBrowserMissingMessage;

// Used on the thread that owns the entry object (the user-interface thread).
class TFormulaBase : public TCompiler {
 public:
  // The TITLE setting, the entry name when there is none, "(None)" without an entry.
  const std::string& Title() const { return title_; }
  const std::string& HelpFile() const { return help_file_; }
  const std::string& HelpTopic() const { return help_topic_; }
  // Opens the entry's help through `open`. A help file that is a web page
  // ("http://...", ".htm", ".html") opens at its topic as an anchor, and a
  // failure raises EZentrope with kBrowserMissingMessage; any other help file
  // opens as it is, and its failure passes silently. Nothing without a help file.
  void ShowHelp(const TDocumentOpener& open = [](const std::string& target) {
    return OpenDocument(target);
  }) const;

  // The bytes of the entry's variable block (0 without variables) and its initial
  // contents (constants, parameter values compiled in; the rest zero), written
  // into a block of at least that size before the first call of the code.
  // Fixed after each compilation, so calculation threads may read them while no
  // compilation runs.
  // An entry is loaded and it is `entryName` of a file with the name of
  // `fileName` (folders and letter case aside).
  bool HoldsEntry(const std::string& file_name, const std::string& entry_name) const;

  int VariableBlockSize() const { return static_cast<int>(initial_values_.size()); }
  void StoreInitialValues(std::uint8_t* block) const;

 protected:
  int StringSetting(const std::string& section, const std::string& upper_name,
                    const std::string& value) override;
  void BeginCompile() override;
  void Clear() override;
  void Optimize() override;
  // Answered by the entry kinds: drop all compiled code; build the callable
  // procedures from the sections received through SectionCompiled.
  virtual void DiscardCode() {}
  virtual void AssembleCode() {}
  // The variable block's initial contents after a successful compilation: the
  // laid-out variables with their constants, unless the entry kind keeps its own.
  virtual std::vector<std::uint8_t> InitialValues();

 private:
  std::string title_ = "(None)";
  std::string help_file_;
  std::string help_topic_;
  std::vector<std::uint8_t> initial_values_;
};

}  // namespace zt
