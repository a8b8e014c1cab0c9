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
  v.Type = vtComplex;
  v.Re = re;
  v.Im = im;
  return v;
}

TRefValue Float(long double x) {
  TRefValue v;
  v.Type = vtFloat;
  v.Re = x;
  return v;
}

TRefValue Int(std::int32_t i) {
  TRefValue v;
  v.Type = vtInt;
  v.Int = i;
  return v;
}

TRefValue Bool(bool b) {
  TRefValue v;
  v.Type = vtBool;
  v.Bool = b;
  return v;
}

// The six comparisons of two values of one type.
template <typename T>
bool Compare(int op, T a, T b) {
  switch (op) {
    case eoEqual: return a == b;
    case eoNotEqual: return a != b;
    case eoLess: return a < b;
    case eoLessEqual: return a <= b;
    case eoGreater: return a > b;
    case eoGreaterEqual: return a >= b;
  }
  throw std::logic_error("not a comparison");
}

std::int32_t Wrap(std::int64_t x) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(x)); }

// The primitive a function code maps to for a complex and for a float argument.
struct TFunctionPrimitives {
  int Complex;
  int Float;
};

TFunctionPrimitives FunctionPrimitives(int code) {
  switch (code) {
    case fnSin: return {prComplexSin, prFloatSin};
    case fnSinh: return {prComplexSinh, prFloatSinh};
    case fnAsin: return {prComplexAsin, prFloatAsin};
    case fnAsinh: return {prComplexAsinh, prFloatAsinh};
    case fnCos: return {prComplexCos, prFloatCos};
    case fnCosh: return {prComplexCosh, prFloatCosh};
    case fnAcos: return {prComplexAcos, prFloatAcos};
    case fnAcosh: return {prComplexAcosh, prFloatAcosh};
    case fnTan: return {prComplexTan, prFloatTan};
    case fnTanh: return {prComplexTanh, prFloatTanh};
    case fnAtan: return {prComplexAtan, prFloatAtan};
    case fnAtanh: return {prComplexAtanh, prFloatAtanh};
    case fnCotan: return {prComplexCotan, prFloatCotan};
    case fnCotanh: return {prComplexCotanh, prFloatCotanh};
    case fnSqr: return {prComplexSqr, prFloatSqr};
    case fnSqrt: return {prComplexSqrt, prFloatSqrt};
    case fnLog: return {prComplexLog, prFloatLog};
    case fnExp: return {prComplexExp, prFloatExp};
    case fnAbs: return {prComplexAbs, prFloatAbs};
    case fnCabs: return {prComplexCabs, -1};
    case fnConj: return {prComplexConj, -1};
    case fnFlip: return {prComplexFlip, -1};
    case fnRecip: return {prComplexRecip, prFloatRecip};
    case fnCeil: return {prComplexCeil, prFloatCeil};
    case fnFloor: return {prComplexFloor, prFloatFloor};
    case fnTrunc: return {prComplexTrunc, prFloatTrunc};
    case fnRound: return {prComplexRound, prFloatRound};
    case fnAtan2: return {prComplexAtan2, -1};
    case 36: return {prComplexDouble, prFloatDouble};
    case 37: return {prComplexTimesI, prFloatTimesI};
    case 38: return {prComplexTimesMinusI, prFloatTimesMinusI};
    case 39: return {prComplexCube, prFloatCube};
    case 40: return {prComplexFourth, prFloatFourth};
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
    case vtComplex: return Complex(f.Out[0], f.Out[1]);
    case vtFloat: return Float(f.Out[0]);
    case vtInt: return Int(static_cast<std::int32_t>(f.Rax));
    case vtBool: return Bool((f.Rax & 0xFF) != 0);
  }
  return {};
}

}  // namespace

TReferenceEvaluator::TReferenceEvaluator(const TExpressionList& program, std::uint8_t* block,
                                         std::uint8_t* vars)
    : block_(block), vars_(vars) {
  for (auto* link = program.First(); link; link = link->Next.get()) {
    const TExpression& tree = *link->Tree;
    if (tree.Kind == nkSection)
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

bool TReferenceEvaluator::RunSection(const std::string& upperName) {
  const TSection* section = Find(upperName);
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
    return statements[i]->Kind == nkKeyword && statements[i]->Code == keyword;
  };
  // The next statement of the same nesting level that is one of `keywords`.
  auto next_at_level = [&](int from, std::initializer_list<int> keywords) {
    int depth = 0;
    for (int i = from + 1; i < n; ++i) {
      const TExpression& s = *statements[i];
      if (s.Kind != nkKeyword) continue;
      if (s.Code == kwIf || s.Code == kwWhile || s.Code == kwRepeat) {
        ++depth;
        continue;
      }
      bool closes = s.Code == kwEndIf || s.Code == kwEndWhile || s.Code == kwUntil;
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
    if (s.Kind != nkKeyword) {
      TRefValue v = Evaluate(s);
      last = v.Type == vtBool && v.Bool;
      ++pc;
      continue;
    }
    switch (s.Code) {
      case kwIf: {
        // A false condition goes on to the next ELSEIF whose condition holds, the
        // ELSE, or past the ENDIF.
        bool taken = Evaluate(*s.Left).Bool;
        while (!taken) {
          pc = next_at_level(pc, {kwElseIf, kwElse, kwEndIf});
          if (!is(pc, kwElseIf)) break;
          taken = Evaluate(*statements[pc]->Left).Bool;
        }
        ++pc;
        break;
      }
      case kwElseIf:  // the end of a taken branch: on past the ENDIF
      case kwElse:
        pc = next_at_level(pc, {kwEndIf}) + 1;
        break;
      case kwEndIf:
        ++pc;
        break;
      case kwWhile:
        pc = Evaluate(*s.Left).Bool ? pc + 1 : next_at_level(pc, {kwEndWhile}) + 1;
        break;
      case kwEndWhile: {
        if (Aborted()) {
          ++pc;
          break;
        }
        int depth = 0, i = pc - 1;
        for (; i >= 0; --i) {
          if (is(i, kwEndWhile)) ++depth;
          if (is(i, kwWhile) && depth-- == 0) break;
        }
        pc = i;
        break;
      }
      case kwRepeat:
        repeat_starts.push_back(pc + 1);
        ++pc;
        break;
      case kwUntil: {
        bool done = Evaluate(*s.Left).Bool;
        if (done || Aborted()) {
          repeat_starts.pop_back();
          ++pc;
        } else {
          pc = repeat_starts.back();
        }
        break;
      }
      default:
        throw std::logic_error("unexpected keyword statement");
    }
  }
  return last;
}

TRefValue TReferenceEvaluator::Load(TValueType type, const std::uint8_t* at) const {
  TRefValue v;
  v.Type = type;
  switch (type) {
    case vtComplex:
      std::memcpy(&v.Re, at, 10);
      std::memcpy(&v.Im, at + 16, 10);
      break;
    case vtFloat: std::memcpy(&v.Re, at, 10); break;
    case vtInt: std::memcpy(&v.Int, at, 4); break;
    case vtBool: v.Bool = *at != 0; break;
  }
  return v;
}

void TReferenceEvaluator::Store(const TRefValue& v, std::uint8_t* at) const {
  switch (v.Type) {
    case vtComplex:
      std::memcpy(at, &v.Re, 10);
      std::memcpy(at + 16, &v.Im, 10);
      break;
    case vtFloat: std::memcpy(at, &v.Re, 10); break;
    case vtInt: std::memcpy(at, &v.Int, 4); break;
    case vtBool: *at = v.Bool ? 1 : 0; break;
  }
}

std::uint8_t* TReferenceEvaluator::Address(const TExpression& node) const {
  if (node.Kind == nkVariable) return vars_ + node.Variable->Offset;
  if (node.Kind == nkSymbol && SymbolCell(node.Code) >= 0) return block_ + SymbolCell(node.Code);
  throw std::logic_error("not addressable: " + ExpressionToString(node));
}

TRefValue TReferenceEvaluator::Evaluate(const TExpression& node) {
  switch (node.Kind) {
    case nkLiteral: {
      const TLiteral& l = node.Literal;
      TRefValue v;
      v.Type = l.Type;
      v.Re = l.Type == vtInt ? 0 : l.Re;
      v.Im = l.Im;
      v.Int = l.Int;
      v.Bool = l.Bool;
      return v;
    }
    case nkVariable:
    case nkSymbol:
      return Load(node.Type, Address(node));
    case nkUnary: {
      TRefValue x = Evaluate(*node.Left);
      if (node.Code == eoModulus) return Float(x.Re * x.Re + x.Im * x.Im);
      if (node.Code == eoNot) return Bool(!x.Bool);
      switch (x.Type) {
        case vtComplex: return Complex(-x.Re, -x.Im);
        case vtFloat: return Float(-x.Re);
        default: return Int(Wrap(-static_cast<std::int64_t>(x.Int)));
      }
    }
    case nkBinary:
      if (node.Code == eoAssign) {
        TRefValue v = Evaluate(*node.Right);
        Store(v, Address(*node.Left));
        return v;
      }
      return Binary(node);
    case nkFunction:
      return Function(node);
    default:
      throw std::logic_error("cannot evaluate " + ExpressionToString(node));
  }
}

TRefValue TReferenceEvaluator::Binary(const TExpression& node) {
  TRefValue l = Evaluate(*node.Left);
  TRefValue r = Evaluate(*node.Right);
  const int op = node.Code;
  if (l.Type == vtBool && r.Type == vtBool) {
    switch (op) {
      case eoEqual: return Bool(l.Bool == r.Bool);
      case eoNotEqual: return Bool(l.Bool != r.Bool);
      case eoAnd: return Bool(l.Bool && r.Bool);
      case eoOr: return Bool(l.Bool || r.Bool);
    }
  }
  if (l.Type == vtInt && r.Type == vtInt) {
    std::int64_t a = l.Int, b = r.Int;
    switch (op) {
      case eoAdd: return Int(Wrap(a + b));
      case eoSubtract: return Int(Wrap(a - b));
      case eoMultiply: return Int(Wrap(a * b));
      case eoMod: return Int(b == 0 ? l.Int : b == -1 ? 0 : static_cast<std::int32_t>(a % b));
      default: return Bool(Compare(op, a, b));
    }
  }
  if (l.Type == vtFloat && r.Type == vtFloat) {
    long double a = l.Re, b = r.Re;
    switch (op) {
      case eoAdd: return Float(a + b);
      case eoSubtract: return Float(a - b);
      case eoMultiply: return Float(a * b);
      case eoDivide: return Float(a / b);
      case eoMod: return Float(std::fmod(a, b));
      case eoPower: return FromFrame(RunOn(prFloatPow, {a, b}, 1), vtFloat);
      default: return Bool(Compare(op, a, b));
    }
  }
  if (l.Type == vtComplex && r.Type == vtComplex) {
    long double a = l.Re, b = l.Im, c = r.Re, d = r.Im;
    switch (op) {
      case eoAdd: return Complex(a + c, b + d);
      case eoSubtract: return Complex(a - c, b - d);
      case eoMultiply: return Complex(a * c - b * d, a * d + b * c);
      case eoDivide: {
        long double s = 1 / (c * c + d * d);
        return Complex((a * c + b * d) * s, (b * c - a * d) * s);
      }
      case eoPower: return FromFrame(RunOn(prComplexPow, {b, a, d, c}, 2), vtComplex);
      case eoEqual: return Bool(a == c && b == d);
      case eoNotEqual: return Bool(!(a == c && b == d));
      case eoLess: return Bool(a < c);
      case eoLessEqual: return Bool(a <= c);
      case eoGreater: return Bool(a > c);
      case eoGreaterEqual: return Bool(a >= c);
    }
  }
  // Mixed complex and float arithmetic.
  if (l.Type == vtComplex && r.Type == vtFloat) {
    long double f = r.Re;
    switch (op) {
      case eoAdd: return Complex(l.Re + f, l.Im);
      case eoSubtract: return Complex(l.Re - f, l.Im);
      case eoMultiply: return Complex(l.Re * f, l.Im * f);
      case eoDivide: {
        long double s = 1 / f;
        return Complex(l.Re * s, l.Im * s);
      }
    }
  }
  if (l.Type == vtFloat && r.Type == vtComplex) {
    long double f = l.Re;
    switch (op) {
      case eoAdd: return Complex(f + r.Re, r.Im);
      case eoSubtract: return Complex(f - r.Re, -r.Im);
      case eoMultiply: return Complex(f * r.Re, f * r.Im);
    }
  }
  throw std::logic_error("no reference for " + ExpressionToString(node, true));
}

TRefValue TReferenceEvaluator::Function(const TExpression& node) {
  const int code = node.Code;
  if (code == fnOldZ) {
    TRefValue i = Evaluate(*node.Left);
    return FromFrame(RunOn(prLoadOldZ, {}, 2, static_cast<std::uint32_t>(i.Int), block_), vtComplex);
  }
  TRefValue x = Evaluate(*node.Left);
  switch (code) {
    case fnToInt: return Int(x.Bool ? 1 : 0);
    case fnToFloat: return Float(x.Type == vtInt ? static_cast<long double>(x.Int) : x.Bool ? 1 : 0);
    case fnToComplex:
      return Complex(x.Type == vtFloat ? x.Re
                     : x.Type == vtInt ? static_cast<long double>(x.Int)
                                       : (x.Bool ? 1 : 0),
                     0);
    case fnIdent: return x;
    case fnZero: return Complex(0, 0);
    case fnReal: return Float(x.Re);
    case fnImag: return Float(x.Im);
  }
  if (x.Type == vtInt) {
    std::int64_t i = x.Int;
    if (code == fnSqr) return Int(Wrap(i * i));
    if (code == fnAbs) return Int(Wrap(i < 0 ? -i : i));
    if (code == 36) return Int(Wrap(2 * i));
  }
  TFunctionPrimitives p = FunctionPrimitives(code);
  if (x.Type == vtComplex) {
    TPrimitiveFrame f = RunOn(p.Complex, {x.Im, x.Re}, node.Type == vtFloat && code != fnCabs ? 1 : 2);
    if (code == fnCabs) return Float(f.Out[0]);
    return FromFrame(f, node.Type);
  }
  const int results = node.Type == vtComplex ? 2 : node.Type == vtFloat ? 1 : 0;
  return FromFrame(RunOn(p.Float, {x.Re}, results), node.Type);
}

}  // namespace zt::testing
