// Removal of IF, ELSEIF and ELSE branches whose condition the optimizer has
// reduced to a literal, keeping every remaining chain well formed.
#include "formula/codegen/optimizer.h"

#include "formula/language/token.h"

namespace zt {
namespace {

using TStatements = std::vector<std::unique_ptr<TExpression>>;

bool IsKeyword(const TExpression& node, int keyword) {
  return node.Kind == kNodeKeyword && node.Code == keyword;
}

// The literal value of a branch's condition, or -1 when it is not constant.
int ConstantCondition(const TExpression& node) {
  if (!node.Left || node.Left->Kind != kNodeLiteral || node.Left->Type != kTypeBool) return -1;
  return node.Left->Literal.Bool ? 1 : 0;
}

// The ELSEIF, ELSE or ENDIF that ends the branch starting at `from` (with
// `branchEnds`), or the ENDIF of its chain (without); nested IF ... ENDIF pairs
// are skipped. statements.size() when the chain is not closed.
std::size_t ChainStop(const TStatements& statements, std::size_t from, bool branch_ends) {
  int depth = 0;
  for (std::size_t j = from + 1; j < statements.size(); ++j) {
    const TExpression& s = *statements[j];
    if (IsKeyword(s, kKeywordIf)) {
      ++depth;
    } else if (IsKeyword(s, kKeywordEndIf)) {
      if (depth == 0) return j;
      --depth;
    } else if (depth == 0 && branch_ends &&
               (IsKeyword(s, kKeywordElseIf) || IsKeyword(s, kKeywordElse))) {
      return j;
    }
  }
  return statements.size();
}

void Erase(TStatements& statements, std::size_t first, std::size_t last) {
  statements.erase(statements.begin() + static_cast<std::ptrdiff_t>(first),
                   statements.begin() + static_cast<std::ptrdiff_t>(last));
}

// A constant IF at `i`. Returns the index where examination goes on.
std::size_t RemoveIf(TStatements& statements, std::size_t i, bool condition) {
  std::size_t stop = ChainStop(statements, i, true);
  if (stop == statements.size()) return i + 1;
  if (condition) {
    // The body stays; the rest of the chain goes, its ENDIF included.
    const std::size_t end =
        IsKeyword(*statements[stop], kKeywordEndIf) ? stop : ChainStop(statements, stop, false);
    if (end == statements.size()) return i + 1;
    Erase(statements, stop, end + 1);
    Erase(statements, i, i + 1);
    return i;
  }
  TExpression& next = *statements[stop];
  if (IsKeyword(next, kKeywordElseIf)) {
    // The next branch takes the IF's place and is examined in turn.
    next.Code = kKeywordIf;
  } else if (IsKeyword(next, kKeywordElse)) {
    const std::size_t end = ChainStop(statements, stop, false);
    if (end == statements.size()) return i + 1;
    Erase(statements, end, end + 1);
    Erase(statements, stop, stop + 1);
  } else {
    Erase(statements, stop, stop + 1);
  }
  Erase(statements, i, stop);
  return i;
}

// A constant ELSEIF at `i` in a chain whose IF is not constant.
std::size_t RemoveElseIf(TStatements& statements, std::size_t i, bool condition) {
  std::size_t stop = ChainStop(statements, i, true);
  if (stop == statements.size()) return i + 1;
  if (condition) {
    // Its body becomes the chain's last branch.
    statements[i]->Code = kKeywordElse;
    statements[i]->Left.reset();
    if (!IsKeyword(*statements[stop], kKeywordEndIf)) {
      const std::size_t end = ChainStop(statements, stop, false);
      if (end == statements.size()) return i + 1;
      Erase(statements, stop, end);
    }
    return i + 1;
  }
  Erase(statements, i, stop);
  return i;
}

}  // namespace

void RemoveConstantBranches(TStatements& statements) {
  std::size_t i = 0;
  while (i < statements.size()) {
    const TExpression& s = *statements[i];
    const int condition = ConstantCondition(s);
    if (condition >= 0 && IsKeyword(s, kKeywordIf))
      i = RemoveIf(statements, i, condition == 1);
    else if (condition >= 0 && IsKeyword(s, kKeywordElseIf))
      i = RemoveElseIf(statements, i, condition == 1);
    else
      ++i;
  }
}

}  // namespace zt
