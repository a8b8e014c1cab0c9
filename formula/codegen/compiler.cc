// The code generator's driver: sections in two passes (measure, then emit into an
// exactly-sized buffer), statements, and the jumps of IF, WHILE and REPEAT.
#include "formula/codegen/compiler.h"

#include <algorithm>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/runtime.h"
#include "formula/language/token.h"
#include "platform/error.h"

namespace zt {

int SymbolCell(int symbol) {
  switch (symbol) {
    case kSymbolPixel: return calc::kPixel;
    case kSymbolRandom: return calc::kRandom;
    case kSymbolMaxIter: return calc::kMaxIter;
    case kSymbolNumIter: return calc::kNumIter;
    case kSymbolScreenMax: return calc::kScreenMax;
    case kSymbolScreenPixel: return calc::kScreenPixel;
    case kSymbolWhiteSq: return calc::kWhiteSq;
    case kSymbolWidth: return calc::kWidth;
    case kSymbolHeight: return calc::kHeight;
    case kSymbolX: return calc::kX;
    case kSymbolY: return calc::kY;
    case kSymbolCenter: return calc::kCenter;
    case kSymbolMagn: return calc::kMagn;
    case kSymbolAngle: return calc::kAngle;
    case kSymbolIndex: return calc::kIndex;
    case kSymbolZ: return calc::kZ;
    case kSymbolSolid: return calc::kSolid;
    default: return -1;  // #pi and #e are folded away; #lastsqr has no cell
  }
}

void TCompiler::Generate() { GenerateFrom(Program()); }

void TCompiler::SectionCompiled(const std::string&, TCodeBuffer) {}

namespace {

bool IsZ(const TExpression* node) {
  return node && node->Kind == kNodeSymbol && node->Code == kSymbolZ;
}

bool IsZAssignment(const TExpression& node) {
  return node.Kind == kNodeBinary && node.Code == kExprAssign && IsZ(node.Left.get());
}

// Any assignment to #z in the tree, or a keyword naming #z (a declaration).
bool WritesZ(const TExpression* node) {
  if (!node) return false;
  if (IsZAssignment(*node) || (node->Kind == kNodeKeyword && IsZ(node->Left.get()))) return true;
  return WritesZ(node->Left.get()) || WritesZ(node->Right.get());
}

struct TSection {
  std::string Name;
  TExpressionList::Link* First;
  TExpressionList::Link* End;
};

}  // namespace

void TCompiler::GenerateFrom(TExpressionList& program) {
  orders_.clear();
  TLink* link = program.First();
  if (link && link->Tree->Kind != kNodeSection) throw EZentrope("Could not translate expression");
  std::vector<TSection> sections;
  while (link) {
    TLink* first = link->Next.get();
    TLink* end = first;
    while (end && end->Tree->Kind != kNodeSection) end = end->Next.get();
    sections.push_back({link->Tree->Name, first, end});
    link = end;
  }

  // Parked code of one section is useless unless the procedure around it parks
  // #z, which it can only do for all of the owner's sections at once.
  bool any = false, all = true;
  for (const TSection& section : sections) {
    if (!ParksZ(section.Name)) continue;
    any = true;
    all = all && CanPark(section.First, section.End);
  }
  z_parked_ = any && all;
  // The parked measurement may have chosen other evaluation orders; unparked code
  // is exactly what it would be without the attempt.
  if (!z_parked_) orders_.clear();

  for (const TSection& section : sections) {
    parked_ = z_parked_ && ParksZ(section.Name);
    emitter_.Begin(nullptr);
    TranslateSection(section.First, section.End);
    const int size = emitter_.Offset();

    TCodeBuffer code = TCodeBuffer::Allocate(static_cast<std::size_t>(size));
    Variables().Layout();
    emitter_.Begin(code.Data(), code.Size());
    TranslateSection(section.First, section.End);
    parked_ = false;
    // Both passes translate the same nodes with the same decisions; the emitter
    // refuses to write past the measured size, and a shorter emission would leave
    // bytes of the section unwritten.
    if (emitter_.Offset() != size) throw EZentrope("Could not translate expression");
    code.Seal();
    SectionCompiled(section.Name, std::move(code));
  }
}

bool TCompiler::CanPark(TLink* first, TLink* end) {
  for (TLink* link = first; link != end; link = link->Next.get()) {
    const TExpression& tree = *link->Tree;
    const bool last = link->Next.get() == end;
    const bool replaces_z = last && IsZAssignment(tree) && tree.Right->Type == kTypeComplex;
    if (replaces_z ? WritesZ(tree.Right.get()) : WritesZ(&tree)) return false;
  }
  // The measurement also settles the evaluation orders for the passes that follow
  // (GenerateFrom forgets them when parking is refused). A parked read occupies
  // the same two registers as a load.
  parked_ = true;
  emitter_.Begin(nullptr);
  TranslateSection(first, end);
  parked_ = false;
  return section_peak_ <= kRegistersAboveParkedZ;
}

void TCompiler::TranslateSection(TLink* first, TLink* end) {
  constructs_.Clear();
  section_peak_ = 0;
  for (TLink* link = first; link != end; link = link->Next.get()) Statement(*link->Tree);
}

void TCompiler::Statement(TExpression& tree) {
  depth_ = 0;
  max_depth_ = 0;
  temporary_ = 0;
  if (tree.Kind == kNodeKeyword) {
    Control(tree);
  } else if (parked_ && IsZAssignment(tree)) {
    StoreParkedZ(*tree.Right);
  } else if (tree.Kind == kNodeBinary && tree.Code == kExprAssign) {
    Assignment(tree, false);
  } else {
    // A bool statement (the condition of a bailout or final section) leaves its
    // value in AL for the procedure around it; FPU values are dropped.
    Expression(tree);
    Discard(tree.Type);
  }
  section_peak_ = std::max(section_peak_, max_depth_);
}

// The parked #z lies directly below the statement's registers.
int TCompiler::LoadParkedZ() {
  emitter_.LoadRegister(depth_ + 1);  // imaginary part
  emitter_.LoadRegister(depth_ + 1);  // real part, now one register further down
  Push(2);
  return 2;
}

// The new value is stored and replaces the parked one below it, which the
// statement's own registers never reach: #z is assigned only by the last
// statement, so no later read in the section expects the old value.
void TCompiler::StoreParkedZ(TExpression& value) {
  Expression(value);
  StoreValue(kTypeComplex, TCodeEmitter::kBlock, calc::kZ, true);
  emitter_.PopToRegister(2);  // new real part over the old one
  emitter_.PopToRegister(2);  // new imaginary part over the old one
  depth_ -= 2;
}

void TCompiler::Discard(TValueType type) {
  if (type == kTypeComplex) {
    Apply(kPrimitiveDiscardComplex, 2, 0);
  } else if (type == kTypeFloat) {
    Apply(kPrimitiveDiscardFloat, 1, 0);
  }
}

// Forward jumps are emitted with a dummy target and emitted again in place once
// the target is known; the encodings have fixed sizes, so both passes agree.
void TCompiler::PatchJumpIfFalse(int at, int target) {
  const int here = emitter_.Offset();
  emitter_.SetOffset(at);
  emitter_.JumpIfFalse(target);
  emitter_.SetOffset(here);
}

void TCompiler::PatchJump(int at, int target) {
  const int here = emitter_.Offset();
  emitter_.SetOffset(at);
  emitter_.Jump(target);
  emitter_.SetOffset(here);
}

void TCompiler::PatchAbortCheck(int at, int target) {
  const int here = emitter_.Offset();
  emitter_.SetOffset(at);
  emitter_.AbortCheck(target);
  emitter_.SetOffset(here);
}

// Construct records: Label1 holds the conditional jump (IF, ELSEIF, WHILE) or the
// loop start (REPEAT); Label2 the jump to the end of an IF chain, or for WHILE the
// loop start.
void TCompiler::Control(TExpression& keyword) {
  auto condition_jump = [&] {
    Expression(*keyword.Left);
    constructs_.Top().Label1 = emitter_.Offset();
    emitter_.JumpIfFalse(emitter_.Offset());
  };
  switch (keyword.Code) {
    case kKeywordIf:
      constructs_.Push(kKeywordIf);
      condition_jump();
      return;
    case kKeywordElseIf:
    case kKeywordElse: {
      TConstruct& top = constructs_.Top();
      top.Label2 = emitter_.Offset();
      emitter_.Jump(emitter_.Offset());
      PatchJumpIfFalse(top.Label1, emitter_.Offset());
      constructs_.Push(keyword.Code);
      if (keyword.Code == kKeywordElseIf) condition_jump();
      return;
    }
    case kKeywordEndIf: {
      const int end = emitter_.Offset();
      if (constructs_.Top().Code != kKeywordElse) PatchJumpIfFalse(constructs_.Top().Label1, end);
      while (constructs_.Top().Code != kKeywordIf) {
        constructs_.Pop();
        PatchJump(constructs_.Top().Label2, end);
      }
      constructs_.Pop();
      return;
    }
    case kKeywordWhile: {
      constructs_.Push(kKeywordWhile);
      const int start = emitter_.Offset();
      condition_jump();
      constructs_.Top().Label2 = start;
      return;
    }
    case kKeywordEndWhile: {
      const TConstruct loop = constructs_.Top();
      const int check = emitter_.Offset();
      emitter_.AbortCheck(check);
      emitter_.Jump(loop.Label2);
      const int exit = emitter_.Offset();
      PatchAbortCheck(check, exit);
      PatchJumpIfFalse(loop.Label1, exit);
      constructs_.Pop();
      return;
    }
    case kKeywordRepeat:
      constructs_.Push(kKeywordRepeat);
      constructs_.Top().Label1 = emitter_.Offset();
      return;
    case kKeywordUntil: {
      const int start = constructs_.Top().Label1;
      Expression(*keyword.Left);
      const int check = emitter_.Offset();
      emitter_.AbortCheck(check);
      emitter_.JumpIfFalse(start);
      PatchAbortCheck(check, emitter_.Offset());
      constructs_.Pop();
      return;
    }
    default: throw EZentrope("Could not translate expression");
  }
}

}  // namespace zt
