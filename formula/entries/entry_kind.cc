// Entry objects by kind.
#include "formula/entries/entry_kind.h"

#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/transform.h"
#include "platform/text.h"

namespace zt {

std::unique_ptr<TFormulaBase> MakeEntryObject(TEntryKind kind, bool inside_coloring) {
  switch (kind) {
    case TEntryKind::Formula: return std::make_unique<TFormula>();
    case TEntryKind::Coloring: return std::make_unique<TColoring>(inside_coloring);
    case TEntryKind::Transformation: return std::make_unique<TTransform>();
  }
  return nullptr;
}

bool EntryKindFromExtension(const std::string& file, TEntryKind& kind) {
  if (EndsWithText(file, ".zfm") || EndsWithText(file, ".frm"))
    kind = TEntryKind::Formula;
  else if (EndsWithText(file, ".zcl"))
    kind = TEntryKind::Coloring;
  else if (EndsWithText(file, ".zxf"))
    kind = TEntryKind::Transformation;
  else
    return false;
  return true;
}

}  // namespace zt
