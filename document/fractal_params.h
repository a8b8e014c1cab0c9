// Loading a whole document from an entry of a parameter file, as the command
// line does. The document's own parameter text methods (SaveToParameters,
// LoadFromParameters) are members of TFractal.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/fractal.h"

namespace zt {

// The keys of a parameter set's "fractal" section; what is absent stays unset.
struct TFractalKeys {
  static constexpr double kDefaultResolution = 300;
  static constexpr double kDefaultGamma = 2.5;
  std::optional<std::string> Title, Author, Created;
  std::optional<int> Width, Height, LayerCount;
  double Resolution = kDefaultResolution;
  double Gamma = kDefaultGamma;
};

// Reads the items of the "fractal" section that `r` stands in, up to the next
// section.
TFractalKeys ReadFractalKeys(TParReader& r);

// Reads the entry `entry` of the parameter file `file` (its first entry when
// `entry` is empty) into `fractal`, size included; a Fractint entry is imported.
// `skipped`, when given, receives what a Fractint import passed over (see
// TParReader::Skipped). Raises ECodeError when the file cannot be read or lacks
// the entry, EInvalidParFile for a broken entry or a file without entries, and
// the errors of the Fractint import. User-interface thread.
void LoadParameterFile(TFractal& fractal, const std::string& file, const std::string& entry,
                       std::vector<std::string>* skipped = nullptr);

// The transformation, formula and coloring objects of every layer, in the order
// a parameter set names them.
std::vector<const TFormulaBase*> EntriesOf(TFractal& fractal);

// Appends the document as a parameter set titled `title` to `file` (see
// SaveParEntry for a name that is taken already). With `carryEntries`, every
// transformation, formula and coloring entry whose collection is not a standard
// one ("Standard" whatever its extension) follows as a carried entry, once per
// name, so that the set also loads where that collection is missing. False when
// the person cancelled. User-interface thread.
bool SaveParameterSet(TFractal& fractal, const std::string& file, const std::string& title,
                      bool carry_entries);

}  // namespace zt
