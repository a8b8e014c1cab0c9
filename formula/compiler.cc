// The code generator's driver: sections in two passes (measure, then emit into an
// exactly-sized buffer), statements, and the jumps of IF, WHILE and REPEAT.
#include "formula/compiler.h"

#include "formula/calc_block.h"
#include "formula/runtime.h"
#include "formula/token.h"
#include "platform/error.h"

namespace zt {

int SymbolCell(int symbol) {
  switch (symbol) {
    case syPixel: return calc::kPixel;
    case syRandom: return calc::kRandom;
    case syMaxIter: return calc::kMaxIter;
    case syNumIter: return calc::kNumIter;
    case syScreenMax: return calc::kScreenMax;
    case syScreenPixel: return calc::kScreenPixel;
    case syWhiteSq: return calc::kWhiteSq;
    case syWidth: return calc::kWidth;
    case syHeight: return calc::kHeight;
    case syX: return calc::kX;
    case syY: return calc::kY;
    case syCenter: return calc::kCenter;
    case syMagn: return calc::kMagn;
    case syAngle: return calc::kAngle;
    case syIndex: return calc::kIndex;
    case syZ: return calc::kZ;
    case sySolid: return calc::kSolid;
    default: return -1;  // #pi and #e are folded away; #lastsqr has no cell
  }
}

void TCompiler::Generate() { GenerateFrom(Program()); }

void TCompiler::SectionCompiled(const std::string&, TCodeBuffer) {}

void TCompiler::GenerateFrom(TExpressionList& program) {
  orders_.clear();
  TLink* link = program.First();
  if (link && link->Tree->Kind != nkSection) throw EZentrope("Could not translate expression");
  while (link) {
    const std::string name = link->Tree->Name;
    TLink* first = link->Next.get();
    TLink* end = first;
    while (end && end->Tree->Kind != nkSection) end = end->Next.get();

    emitter_.Begin(nullptr);
    TranslateSection(first, end);
    const int size = emitter_.Offset();

    TCodeBuffer code = TCodeBuffer::Allocate(static_cast<std::size_t>(size));
    Variables().Layout();
    emitter_.Begin(code.Data(), code.Size());
    TranslateSection(first, end);
    // Both passes translate the same nodes with the same decisions; the emitter
    // refuses to write past the measured size, and a shorter emission would leave
    // bytes of the section unwritten.
    if (emitter_.Offset() != size) throw EZentrope("Could not translate expression");
    code.Seal();
    SectionCompiled(name, std::move(code));
    link = end;
  }
}

void TCompiler::TranslateSection(TLink* first, TLink* end) {
  constructs_.Clear();
  for (TLink* link = first; link != end; link = link->Next.get()) Statement(*link->Tree);
}

void TCompiler::Statement(TExpression& tree) {
  depth_ = 0;
  max_depth_ = 0;
  temporary_ = 0;
  if (tree.Kind == nkKeyword) {
    Control(tree);
  } else if (tree.Kind == nkBinary && tree.Code == eoAssign) {
    Assignment(tree, false);
  } else {
    // A bool statement (the condition of a bailout or final section) leaves its
    // value in AL for the procedure around it; FPU values are dropped.
    Expression(tree);
    Discard(tree.Type);
  }
}

void TCompiler::Discard(TValueType type) {
  if (type == vtComplex) {
    Apply(prDiscardComplex, 2, 0);
  } else if (type == vtFloat) {
    Apply(prDiscardFloat, 1, 0);
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
    case kwIf:
      constructs_.Push(kwIf);
      condition_jump();
      return;
    case kwElseIf:
    case kwElse: {
      TConstruct& top = constructs_.Top();
      top.Label2 = emitter_.Offset();
      emitter_.Jump(emitter_.Offset());
      PatchJumpIfFalse(top.Label1, emitter_.Offset());
      constructs_.Push(keyword.Code);
      if (keyword.Code == kwElseIf) condition_jump();
      return;
    }
    case kwEndIf: {
      const int end = emitter_.Offset();
      if (constructs_.Top().Code != kwElse) PatchJumpIfFalse(constructs_.Top().Label1, end);
      while (constructs_.Top().Code != kwIf) {
        constructs_.Pop();
        PatchJump(constructs_.Top().Label2, end);
      }
      constructs_.Pop();
      return;
    }
    case kwWhile: {
      constructs_.Push(kwWhile);
      const int start = emitter_.Offset();
      condition_jump();
      constructs_.Top().Label2 = start;
      return;
    }
    case kwEndWhile: {
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
    case kwRepeat:
      constructs_.Push(kwRepeat);
      constructs_.Top().Label1 = emitter_.Offset();
      return;
    case kwUntil: {
      const int start = constructs_.Top().Label1;
      Expression(*keyword.Left);
      const int check = emitter_.Offset();
      emitter_.AbortCheck(check);
      emitter_.JumpIfFalse(start);
      PatchAbortCheck(check, emitter_.Offset());
      constructs_.Pop();
      return;
    }
    default:
      throw EZentrope("Could not translate expression");
  }
}

}  // namespace zt
