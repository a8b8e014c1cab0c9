// The reference evaluator of the differential tests.
#include "formula/testing/reference_evaluator.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/compiler.h"
#include "formula/codegen/runtime.h"
#include "formula/language/token.h"
#include "formula/language/variable_list.h"

namespace zt::testing {
namespace {

TRefValue Complex(long double re, long double im) {
  TRefValue v;
  v.Type = kTypeComplex;
  v.Re = re;
  v.Im = im;
  return v;
}

TRefValue Float(long double x) {
  TRefValue v;
  v.Type = kTypeFloat;
  v.Re = x;
  return v;
}

TRefValue Int(std::int32_t i) {
  TRefValue v;
  v.Type = kTypeInt;
  v.Int = i;
  return v;
}

TRefValue Bool(bool b) {
  TRefValue v;
  v.Type = kTypeBool;
  v.Bool = b;
  return v;
}

// The six comparisons of two values of one type.
template <typename T>
bool Compare(int op, T a, T b) {
  switch (op) {
    case kExprEqual: return a == b;
    case kExprNotEqual: return a != b;
    case kExprLess: return a < b;
    case kExprLessEqual: return a <= b;
    case kExprGreater: return a > b;
    case kExprGreaterEqual: return a >= b;
  }
  throw std::logic_error("not a comparison");
}

std::int32_t Wrap(std::int64_t x) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(x));
}

// The primitive a function code maps to for a complex and for a float argument.
struct TFunctionPrimitives {
  int Complex;
  int Float;
};

TFunctionPrimitives FunctionPrimitives(int code) {
  switch (code) {
    case kFunctionSin: return {kPrimitiveComplexSin, kPrimitiveFloatSin};
    case kFunctionSinh: return {kPrimitiveComplexSinh, kPrimitiveFloatSinh};
    case kFunctionAsin: return {kPrimitiveComplexAsin, kPrimitiveFloatAsin};
    case kFunctionAsinh: return {kPrimitiveComplexAsinh, kPrimitiveFloatAsinh};
    case kFunctionCos: return {kPrimitiveComplexCos, kPrimitiveFloatCos};
    case kFunctionCosh: return {kPrimitiveComplexCosh, kPrimitiveFloatCosh};
    case kFunctionAcos: return {kPrimitiveComplexAcos, kPrimitiveFloatAcos};
    case kFunctionAcosh: return {kPrimitiveComplexAcosh, kPrimitiveFloatAcosh};
    case kFunctionTan: return {kPrimitiveComplexTan, kPrimitiveFloatTan};
    case kFunctionTanh: return {kPrimitiveComplexTanh, kPrimitiveFloatTanh};
    case kFunctionAtan: return {kPrimitiveComplexAtan, kPrimitiveFloatAtan};
    case kFunctionAtanh: return {kPrimitiveComplexAtanh, kPrimitiveFloatAtanh};
    case kFunctionCotan: return {kPrimitiveComplexCotan, kPrimitiveFloatCotan};
    case kFunctionCotanh: return {kPrimitiveComplexCotanh, kPrimitiveFloatCotanh};
    case kFunctionSqr: return {kPrimitiveComplexSqr, kPrimitiveFloatSqr};
    case kFunctionSqrt: return {kPrimitiveComplexSqrt, kPrimitiveFloatSqrt};
    case kFunctionLog: return {kPrimitiveComplexLog, kPrimitiveFloatLog};
    case kFunctionExp: return {kPrimitiveComplexExp, kPrimitiveFloatExp};
    case kFunctionAbs: return {kPrimitiveComplexAbs, kPrimitiveFloatAbs};
    case kFunctionCabs: return {kPrimitiveComplexCabs, -1};
    case kFunctionConj: return {kPrimitiveComplexConj, -1};
    case kFunctionFlip: return {kPrimitiveComplexFlip, -1};
    case kFunctionRecip: return {kPrimitiveComplexRecip, kPrimitiveFloatRecip};
    case kFunctionCeil: return {kPrimitiveComplexCeil, kPrimitiveFloatCeil};
    case kFunctionFloor: return {kPrimitiveComplexFloor, kPrimitiveFloatFloor};
    case kFunctionTrunc: return {kPrimitiveComplexTrunc, kPrimitiveFloatTrunc};
    case kFunctionRound: return {kPrimitiveComplexRound, kPrimitiveFloatRound};
    case kFunctionAtan2: return {kPrimitiveComplexAtan2, -1};
    case 36: return {kPrimitiveComplexDouble, kPrimitiveFloatDouble};
    case 37: return {kPrimitiveComplexTimesI, kPrimitiveFloatTimesI};
    case 38: return {kPrimitiveComplexTimesMinusI, kPrimitiveFloatTimesMinusI};
    case 39: return {kPrimitiveComplexCube, kPrimitiveFloatCube};
    case 40: return {kPrimitiveComplexFourth, kPrimitiveFloatFourth};
  }
  return {-1, -1};
}

// Runs a primitive on FPU operands; `results` registers come back (2 complex, 1 float).
TPrimitiveFrame RunOn(int primitive, std::initializer_list<long double> in, int results,
                      std::int64_t rax = 0, void* rsi = nullptr) {
  if (primitive < 0) throw std::logic_error("no primitive for this operation");
  TPrimitiveFrame frame;
  for (long double v : in) frame.In[frame.InCount++] = v;
  frame.OutCount = results;
  frame.Rax = rax;
  frame.Rsi = rsi;
  RunPrimitive(primitive, frame);
  return frame;
}

TRefValue FromFrame(const TPrimitiveFrame& f, TValueType type) {
  switch (type) {
    case kTypeComplex: return Complex(f.Out[0], f.Out[1]);
    case kTypeFloat: return Float(f.Out[0]);
    case kTypeInt: return Int(static_cast<std::int32_t>(f.Rax));
    case kTypeBool: return Bool((f.Rax & 0xFF) != 0);
  }
  return {};
}

}  // namespace

TReferenceEvaluator::TReferenceEvaluator(const TExpressionList& program, std::uint8_t* block,
                                         std::uint8_t* vars)
    : block_(block), vars_(vars) {
  for (auto* link = program.First(); link; link = link->Next.get()) {
    const TExpression& tree = *link->Tree;
    if (tree.Kind == kNodeSection)
      sections_.push_back({tree.Name, {}});
    else if (!sections_.empty())
      sections_.back().Statements.push_back(&tree);
  }
}

const TReferenceEvaluator::TSection* TReferenceEvaluator::Find(const std::string& name) const {
  // A later section of the same name replaces an earlier one, as with compiled sections.
  const TSection* found = nullptr;
  for (const auto& s : sections_)
    if (s.Name == name) found = &s;
  return found;
}

bool TReferenceEvaluator::Aborted() const { return block_[calc::kAbort] != 0; }

bool TReferenceEvaluator::RunSection(const std::string& upper_name) {
  const TSection* section = Find(upper_name);
  return section ? Run(section->Statements) : false;
}

void TReferenceEvaluator::RunFormula() {
  RunSection("INIT");
  std::uint32_t max_iter, counter;
  std::memcpy(&max_iter, block_ + calc::kMaxIter, 4);
  counter = max_iter;
  const TSection* bailout = nullptr;
  for (const auto& s : sections_)
    if (s.Name != "INIT" && s.Name != "LOOP") bailout = &s;
  for (;;) {
    RunSection("LOOP");
    bool go_on = bailout ? Run(bailout->Statements) : false;
    if (!go_on || Aborted()) break;
    if (--counter == 0) break;
  }
  std::uint32_t num_iter = max_iter - counter;
  std::memcpy(block_ + calc::kNumIter, &num_iter, 4);
}

// Executes a statement list; returns the bool value of the last statement evaluated.
bool TReferenceEvaluator::Run(const std::vector<const TExpression*>& statements) {
  const int n = static_cast<int>(statements.size());
  auto is = [&](int i, int keyword) {
    return statements[i]->Kind == kNodeKeyword && statements[i]->Code == keyword;
  };
  // The next statement of the same nesting level that is one of `keywords`.
  auto next_at_level = [&](int from, std::initializer_list<int> keywords) {
    int depth = 0;
    for (int i = from + 1; i < n; ++i) {
      const TExpression& s = *statements[i];
      if (s.Kind != kNodeKeyword) continue;
      if (s.Code == kKeywordIf || s.Code == kKeywordWhile || s.Code == kKeywordRepeat) {
        ++depth;
        continue;
      }
      bool closes =
          s.Code == kKeywordEndIf || s.Code == kKeywordEndWhile || s.Code == kKeywordUntil;
      if (depth == 0)
        for (int k : keywords)
          if (s.Code == k) return i;
      if (closes) --depth;
    }
    throw std::logic_error("unbalanced construct");
  };
  bool last = false;
  std::vector<int> repeat_starts;
  for (int pc = 0; pc < n;) {
    const TExpression& s = *statements[pc];
    if (s.Kind != kNodeKeyword) {
      TRefValue v = Evaluate(s);
      last = v.Type == kTypeBool && v.Bool;
      ++pc;
      continue;
    }
    switch (s.Code) {
      case kKeywordIf: {
        // A false condition goes on to the next ELSEIF whose condition holds, the
        // ELSE, or past the ENDIF.
        bool taken = Evaluate(*s.Left).Bool;
        while (!taken) {
          pc = next_at_level(pc, {kKeywordElseIf, kKeywordElse, kKeywordEndIf});
          if (!is(pc, kKeywordElseIf)) break;
          taken = Evaluate(*statements[pc]->Left).Bool;
        }
        ++pc;
        break;
      }
      case kKeywordElseIf:  // the end of a taken branch: on past the ENDIF
      case kKeywordElse: pc = next_at_level(pc, {kKeywordEndIf}) + 1; break;
      case kKeywordEndIf: ++pc; break;
      case kKeywordWhile:
        pc = Evaluate(*s.Left).Bool ? pc + 1 : next_at_level(pc, {kKeywordEndWhile}) + 1;
        break;
      case kKeywordEndWhile: {
        if (Aborted()) {
          ++pc;
          break;
        }
        int depth = 0, i = pc - 1;
        for (; i >= 0; --i) {
          if (is(i, kKeywordEndWhile)) ++depth;
          if (is(i, kKeywordWhile) && depth-- == 0) break;
        }
        pc = i;
        break;
      }
      case kKeywordRepeat:
        repeat_starts.push_back(pc + 1);
        ++pc;
        break;
      case kKeywordUntil: {
        bool done = Evaluate(*s.Left).Bool;
        if (done || Aborted()) {
          repeat_starts.pop_back();
          ++pc;
        } else {
          pc = repeat_starts.back();
        }
        break;
      }
      default: throw std::logic_error("unexpected keyword statement");
    }
  }
  return last;
}

TRefValue TReferenceEvaluator::Load(TValueType type, const std::uint8_t* at) const {
  TRefValue v;
  v.Type = type;
  switch (type) {
    case kTypeComplex:
      std::memcpy(&v.Re, at, 10);
      std::memcpy(&v.Im, at + 16, 10);
      break;
    case kTypeFloat: std::memcpy(&v.Re, at, 10); break;
    case kTypeInt: std::memcpy(&v.Int, at, 4); break;
    case kTypeBool: v.Bool = *at != 0; break;
  }
  return v;
}

void TReferenceEvaluator::Store(const TRefValue& v, std::uint8_t* at) const {
  switch (v.Type) {
    case kTypeComplex:
      std::memcpy(at, &v.Re, 10);
      std::memcpy(at + 16, &v.Im, 10);
      break;
    case kTypeFloat: std::memcpy(at, &v.Re, 10); break;
    case kTypeInt: std::memcpy(at, &v.Int, 4); break;
    case kTypeBool: *at = v.Bool ? 1 : 0; break;
  }
}

std::uint8_t* TReferenceEvaluator::Address(const TExpression& node) const {
  if (node.Kind == kNodeVariable) return vars_ + node.Variable->Offset;
  if (node.Kind == kNodeSymbol && SymbolCell(node.Code) >= 0) return block_ + SymbolCell(node.Code);
  throw std::logic_error("not addressable: " + ExpressionToString(node));
}

TRefValue TReferenceEvaluator::Evaluate(const TExpression& node) {
  switch (node.Kind) {
    case kNodeLiteral: {
      const TLiteral& l = node.Literal;
      TRefValue v;
      v.Type = l.Type;
      v.Re = l.Type == kTypeInt ? 0 : l.Re;
      v.Im = l.Im;
      v.Int = l.Int;
      v.Bool = l.Bool;
      return v;
    }
    case kNodeVariable:
    case kNodeSymbol: return Load(node.Type, Address(node));
    case kNodeUnary: {
      TRefValue x = Evaluate(*node.Left);
      if (node.Code == kExprModulus) return Float(x.Re * x.Re + x.Im * x.Im);
      if (node.Code == kExprNot) return Bool(!x.Bool);
      switch (x.Type) {
        case kTypeComplex: return Complex(-x.Re, -x.Im);
        case kTypeFloat: return Float(-x.Re);
        default: return Int(Wrap(-static_cast<std::int64_t>(x.Int)));
      }
    }
    case kNodeBinary:
      if (node.Code == kExprAssign) {
        TRefValue v = Evaluate(*node.Right);
        Store(v, Address(*node.Left));
        return v;
      }
      return Binary(node);
    case kNodeFunction: return Function(node);
    default: throw std::logic_error("cannot evaluate " + ExpressionToString(node));
  }
}

TRefValue TReferenceEvaluator::Binary(const TExpression& node) {
  TRefValue l = Evaluate(*node.Left);
  TRefValue r = Evaluate(*node.Right);
  const int op = node.Code;
  if (l.Type == kTypeBool && r.Type == kTypeBool) {
    switch (op) {
      case kExprEqual: return Bool(l.Bool == r.Bool);
      case kExprNotEqual: return Bool(l.Bool != r.Bool);
      case kExprAnd: return Bool(l.Bool && r.Bool);
      case kExprOr: return Bool(l.Bool || r.Bool);
    }
  }
  if (l.Type == kTypeInt && r.Type == kTypeInt) {
    std::int64_t a = l.Int, b = r.Int;
    switch (op) {
      case kExprAdd: return Int(Wrap(a + b));
      case kExprSubtract: return Int(Wrap(a - b));
      case kExprMultiply: return Int(Wrap(a * b));
      case kExprMod: return Int(b == 0 ? l.Int : b == -1 ? 0 : static_cast<std::int32_t>(a % b));
      default: return Bool(Compare(op, a, b));
    }
  }
  if (l.Type == kTypeFloat && r.Type == kTypeFloat) {
    long double a = l.Re, b = r.Re;
    switch (op) {
      case kExprAdd: return Float(a + b);
      case kExprSubtract: return Float(a - b);
      case kExprMultiply: return Float(a * b);
      case kExprDivide: return Float(a / b);
      case kExprMod: return Float(std::fmod(a, b));
      case kExprPower: return FromFrame(RunOn(kPrimitiveFloatPow, {a, b}, 1), kTypeFloat);
      default: return Bool(Compare(op, a, b));
    }
  }
  if (l.Type == kTypeComplex && r.Type == kTypeComplex) {
    long double a = l.Re, b = l.Im, c = r.Re, d = r.Im;
    switch (op) {
      case kExprAdd: return Complex(a + c, b + d);
      case kExprSubtract: return Complex(a - c, b - d);
      case kExprMultiply: return Complex(a * c - b * d, a * d + b * c);
      case kExprDivide: {
        long double s = 1 / (c * c + d * d);
        return Complex((a * c + b * d) * s, (b * c - a * d) * s);
      }
      case kExprPower: return FromFrame(RunOn(kPrimitiveComplexPow, {b, a, d, c}, 2), kTypeComplex);
      case kExprEqual: return Bool(a == c && b == d);
      case kExprNotEqual: return Bool(!(a == c && b == d));
      case kExprLess: return Bool(a < c);
      case kExprLessEqual: return Bool(a <= c);
      case kExprGreater: return Bool(a > c);
      case kExprGreaterEqual: return Bool(a >= c);
    }
  }
  // Mixed complex and float arithmetic.
  if (l.Type == kTypeComplex && r.Type == kTypeFloat) {
    long double f = r.Re;
    switch (op) {
      case kExprAdd: return Complex(l.Re + f, l.Im);
      case kExprSubtract: return Complex(l.Re - f, l.Im);
      case kExprMultiply: return Complex(l.Re * f, l.Im * f);
      case kExprDivide: {
        long double s = 1 / f;
        return Complex(l.Re * s, l.Im * s);
      }
    }
  }
  if (l.Type == kTypeFloat && r.Type == kTypeComplex) {
    long double f = l.Re;
    switch (op) {
      case kExprAdd: return Complex(f + r.Re, r.Im);
      case kExprSubtract: return Complex(f - r.Re, -r.Im);
      case kExprMultiply: return Complex(f * r.Re, f * r.Im);
    }
  }
  throw std::logic_error("no reference for " + ExpressionToString(node, true));
}

TRefValue TReferenceEvaluator::Function(const TExpression& node) {
  const int code = node.Code;
  if (code == kFunctionOldZ) {
    TRefValue i = Evaluate(*node.Left);
    return FromFrame(RunOn(kPrimitiveLoadOldZ, {}, 2, static_cast<std::uint32_t>(i.Int), block_),
                     kTypeComplex);
  }
  TRefValue x = Evaluate(*node.Left);
  switch (code) {
    case kFunctionToInt: return Int(x.Bool ? 1 : 0);
    case kFunctionToFloat:
      return Float(x.Type == kTypeInt ? static_cast<long double>(x.Int) : x.Bool ? 1 : 0);
    case kFunctionToComplex:
      return Complex(x.Type == kTypeFloat ? x.Re
                     : x.Type == kTypeInt ? static_cast<long double>(x.Int)
                                          : (x.Bool ? 1 : 0),
                     0);
    case kFunctionIdent: return x;
    case kFunctionZero: return Complex(0, 0);
    case kFunctionReal: return Float(x.Re);
    case kFunctionImag: return Float(x.Im);
  }
  if (x.Type == kTypeInt) {
    std::int64_t i = x.Int;
    if (code == kFunctionSqr) return Int(Wrap(i * i));
    if (code == kFunctionAbs) return Int(Wrap(i < 0 ? -i : i));
    if (code == 36) return Int(Wrap(2 * i));
  }
  TFunctionPrimitives p = FunctionPrimitives(code);
  if (x.Type == kTypeComplex) {
    TPrimitiveFrame f =
        RunOn(p.Complex, {x.Im, x.Re}, node.Type == kTypeFloat && code != kFunctionCabs ? 1 : 2);
    if (code == kFunctionCabs) return Float(f.Out[0]);
    return FromFrame(f, node.Type);
  }
  const int results = node.Type == kTypeComplex ? 2 : node.Type == kTypeFloat ? 1 : 0;
  return FromFrame(RunOn(p.Float, {x.Re}, results), node.Type);
}

}  // namespace zt::testing
