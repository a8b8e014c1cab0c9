// Entry objects by kind.
#include "formula/entries/entry_kind.h"

#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/transform.h"
#include "platform/text.h"

namespace zt {

std::unique_ptr<TFormulaBase> MakeEntryObject(TEntryKind kind, bool inside_coloring) {
  switch (kind) {
    case TEntryKind::kFormula: return std::make_unique<TFormula>();
    case TEntryKind::kColoring: return std::make_unique<TColoring>(inside_coloring);
    case TEntryKind::kTransformation: return std::make_unique<TTransform>();
  }
  return nullptr;
}

bool EntryKindFromExtension(const std::string& file, TEntryKind& kind) {
  if (EndsWithText(file, ".zfm") || EndsWithText(file, ".frm"))
    kind = TEntryKind::kFormula;
  else if (EndsWithText(file, ".zcl"))
    kind = TEntryKind::kColoring;
  else if (EndsWithText(file, ".zxf"))
    kind = TEntryKind::kTransformation;
  else
    return false;
  return true;
}

}  // namespace zt
