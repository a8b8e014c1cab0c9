// The places of parked sections and what parking them saves.
#include "formula/codegen/parking.h"

#include <algorithm>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/compiler.h"
#include "formula/language/checker.h"
#include "formula/language/variable_list.h"

namespace zt {

bool TParkedValue::IsZ() const { return Base == TCodeEmitter::kBlock && Offset == calc::kZ; }

bool PlaceOf(const TExpression& node, TParkedValue& place) {
  TValueType type;
  if (node.Kind == kNodeVariable) {
    if (node.Variable->Kind == TVariableKind::kTemporary) return false;
    place.Base = TCodeEmitter::kVars;
    place.Offset = node.Variable->Offset;
    type = node.Variable->Type;
  } else if (node.Kind == kNodeSymbol && SymbolCell(node.Code) >= 0) {
    place.Base = TCodeEmitter::kBlock;
    place.Offset = SymbolCell(node.Code);
    type = SymbolType(node.Code);
  } else {
    return false;
  }
  place.Complex = type == kTypeComplex;
  place.Written = false;
  return type == kTypeComplex || type == kTypeFloat;
}

int TParkingCandidate::Gain() const {
  int read_cost = 4 * Place.Registers();
  if (Variable && Variable->Kind == TVariableKind::kConstant) {
    const long double parts[] = {Variable->Value.Re, Variable->Value.Im};
    read_cost = 0;
    for (int i = 0; i < Place.Registers(); ++i) {
      double high, low;
      read_cost += SplitExtended(parts[i], high, low) == TDoubleForm::kNone ? 4 : 1;
    }
  }
  return Reads * read_cost + Writes * Place.Registers();
}

void TParkingCandidates::Statement(const TExpression& tree) {
  if (tree.Kind == kNodeBinary && tree.Code == kExprAssign) {
    if (TParkingCandidate* c = Find(*tree.Left)) {
      ++c->Writes;
      c->Place.Written = true;
      c->Unparkable |= tree.Right->Type != tree.Left->Type;
    }
    Walk(tree.Right.get());
  } else {
    Walk(&tree);
  }
}

std::vector<TParkingCandidate> TParkingCandidates::Ranked() const {
  std::vector<TParkingCandidate> ranked;
  for (const TParkingCandidate& c : candidates_)
    if (!c.Unparkable) ranked.push_back(c);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const TParkingCandidate& a, const TParkingCandidate& b) {
                     return a.Gain() * b.Place.Registers() > b.Gain() * a.Place.Registers();
                   });
  return ranked;
}

TParkingCandidate* TParkingCandidates::Find(const TExpression& node) {
  TParkedValue place{};
  if (!PlaceOf(node, place)) return nullptr;
  for (TParkingCandidate& c : candidates_)
    if (c.Place.SamePlace(place)) return &c;
  candidates_.push_back({place, node.Kind == kNodeVariable ? node.Variable : nullptr});
  return &candidates_.back();
}

// Reads, also in the conditions of control statements.
void TParkingCandidates::Walk(const TExpression* node) {
  if (!node) return;
  if (node->Kind == kNodeBinary && node->Code == kExprAssign) {
    if (TParkingCandidate* c = Find(*node->Left)) c->Unparkable = true;
    Walk(node->Right.get());
    return;
  }
  if (TParkingCandidate* c = Find(*node)) {
    ++c->Reads;
    return;
  }
  Walk(node->Left.get());
  Walk(node->Right.get());
}

}  // namespace zt
