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
  parked_values_ = ChooseParked(sections);

  for (const TSection& section : sections) {
    Park(RunsParked(section.Name) ? parked_values_ : std::vector<TParkedValue>());
    emitter_.Begin(nullptr);
    TranslateSection(section.First, section.End);
    const int size = emitter_.Offset();

    TCodeBuffer code = TCodeBuffer::Allocate(static_cast<std::size_t>(size));
    Variables().Layout();
    emitter_.Begin(code.Data(), code.Size());
    TranslateSection(section.First, section.End);
    // Both passes translate the same nodes with the same decisions; the emitter
    // refuses to write past the measured size, and a shorter emission would leave
    // bytes of the section unwritten.
    if (emitter_.Offset() != size) throw EZentrope("Could not translate expression");
    code.Seal();
    SectionCompiled(section.Name, std::move(code));
  }
  Park({});
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
  } else if (tree.Kind == kNodeBinary && tree.Code == kExprAssign) {
    const int below = ParkedRegister(*tree.Left);
    if (below >= 0)
      StoreParked(below, *tree.Right);
    else
      Assignment(tree, false);
  } else {
    // A bool statement (the condition of a bailout or final section) leaves its
    // value in AL for the procedure around it; FPU values are dropped.
    Expression(tree);
    Discard(tree.Type);
  }
  section_peak_ = std::max(section_peak_, max_depth_);
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
