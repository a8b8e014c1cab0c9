// The three kinds of entry (formula, coloring algorithm, transformation): an
// object of each kind, and the kind a collection file's extension stands for.
#pragma once

#include <memory>
#include <string>

#include "formula/entries/formula_base.h"

namespace zt {

enum class TEntryKind { kFormula, kColoring, kTransformation };

// A new entry object of `kind`; a coloring is the inside or the outside one.
std::unique_ptr<TFormulaBase> MakeEntryObject(TEntryKind kind, bool inside_coloring = false);

// .zfm and Fractint's .frm are formulas, .zcl colorings, .zxf transformations
// (compared without regard to case); false for any other extension.
bool EntryKindFromExtension(const std::string& file, TEntryKind& kind);

}  // namespace zt
