// The code generator's expression translation: loads, operators with their
// evaluation order and spills, assignments and function calls, keeping each
// statement within the FPU's eight registers.
#include <algorithm>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/compiler.h"
#include "formula/codegen/primitive_choice.h"
#include "formula/language/token.h"
#include "platform/error.h"

namespace zt {

namespace {

// A value's FPU registers: complex 2, float 1, int and bool none (EAX / AL).
int Registers(TValueType type) {
  switch (type) {
    case vtComplex: return 2;
    case vtFloat: return 1;
    default: return 0;
  }
}

// An operand that lies in memory: a variable-block slot or a calculation-block cell.
struct TMemory {
  TCodeEmitter::TBase Base;
  std::int32_t Offset;
};

bool InMemory(const TExpression& node, TMemory& memory) {
  if (node.Kind == nkVariable) {
    memory = {TCodeEmitter::kVars, node.Variable->Offset};
    return true;
  }
  if (node.Kind == nkSymbol && SymbolCell(node.Code) >= 0) {
    memory = {TCodeEmitter::kBlock, SymbolCell(node.Code)};
    return true;
  }
  return false;
}

const char* VariableError(TVariableKind kind) {
  switch (kind) {
    case TVariableKind::Variable: return "Could not translate variable (user)";
    case TVariableKind::Constant: return "Could not translate variable (constant)";
    case TVariableKind::ParameterCopy: return "Could not translate variable (parameter)";
    default: return "Could not translate variable";
  }
}

const char* OperatorError(TValueType type) {
  switch (type) {
    case vtComplex: return "Could not translate complex operator";
    case vtFloat: return "Could not translate float operator";
    case vtInt: return "Could not translate int operator";
    default: return "Could not translate bool operator";
  }
}

const char* FunctionError(TValueType type) {
  switch (type) {
    case vtComplex: return "Could not translate complex function";
    case vtFloat: return "Could not translate float function";
    case vtInt: return "Could not translate int function";
    default: return "Could not translate bool function";
  }
}

// The literal 0 or 1 of a complex or float value (complex: imaginary part 0).
bool IsZeroOrOne(const TLiteral& value, bool& one) {
  if (value.Type != vtComplex && value.Type != vtFloat) return false;
  if (value.Type == vtComplex && value.Im != 0) return false;
  one = value.Re == 1;
  return value.Re == 0 || one;
}

bool HasAssignment(const TExpression* node) {
  if (!node) return false;
  if (node->Kind == nkBinary && node->Code == eoAssign) return true;
  return HasAssignment(node->Left.get()) || HasAssignment(node->Right.get());
}

}  // namespace

void TCompiler::Push(int registers) {
  depth_ += registers;
  max_depth_ = std::max(max_depth_, depth_);
}

void TCompiler::Apply(int index, int operands, int result) {
  if (index < 0) throw EZentrope("Could not translate expression");
  const int extra = emitter_.Primitive(index);
  const int below = depth_ - operands;
  max_depth_ = std::max(max_depth_, below + std::max(operands, result) + extra);
  depth_ = below + result;
}

int TCompiler::Expression(TExpression& node) {
  switch (node.Kind) {
    case nkLiteral: return Literal(node);
    case nkVariable:
    case nkSymbol: return Load(node);
    case nkUnary: return Unary(node);
    case nkBinary: return node.Code == eoAssign ? Assignment(node, true) : Binary(node);
    case nkFunction: return Function(node);
    default: throw EZentrope("Could not translate expression");
  }
}

int TCompiler::Literal(const TExpression& node) {
  const TLiteral& value = node.Literal;
  bool one = false;
  switch (value.Type) {
    case vtComplex:
      if (!IsZeroOrOne(value, one)) throw EZentrope("Could not translate complex literal");
      Apply(one ? prLoadComplexOne : prLoadComplexZero, 0, 2);
      return 2;
    case vtFloat:
      if (!IsZeroOrOne(value, one)) throw EZentrope("Could not translate float literal");
      Apply(one ? prLoadFloatOne : prLoadFloatZero, 0, 1);
      return 1;
    case vtInt:
      emitter_.IntLiteral(value.Int);
      return 0;
    case vtBool:
      emitter_.BoolLiteral(value.Bool);
      return 0;
  }
  throw EZentrope("Could not translate expression");
}

int TCompiler::Load(const TExpression& node) {
  TMemory memory{};
  if (node.Kind == nkVariable) {
    if (node.Variable->Type > vtBool) throw EZentrope(VariableError(node.Variable->Kind));
    InMemory(node, memory);
    return LoadValue(node.Variable->Type, memory.Base, memory.Offset);
  }
  if (!InMemory(node, memory)) throw EZentrope("Could not translate predefined symbol");
  if (parked_ && node.Code == syZ) return LoadParkedZ();
  return LoadValue(SymbolType(node.Code), memory.Base, memory.Offset);
}

int TCompiler::LoadValue(TValueType type, TCodeEmitter::TBase base, std::int32_t offset) {
  switch (type) {
    case vtComplex: emitter_.LoadComplex(base, offset); break;
    case vtFloat: emitter_.LoadFloat(base, offset); break;
    case vtInt: emitter_.LoadInt(base, offset); break;
    case vtBool: emitter_.LoadBool(base, offset); break;
  }
  Push(Registers(type));
  return Registers(type);
}

void TCompiler::StoreValue(TValueType type, TCodeEmitter::TBase base, std::int32_t offset,
                           bool keep) {
  switch (type) {
    case vtComplex:
      if (keep) {
        emitter_.StoreComplexKeep(base, offset);
        Push(1);  // the copy that each part is stored from
        depth_ -= 1;
      } else {
        emitter_.StoreComplex(base, offset);
        depth_ -= 2;
      }
      break;
    case vtFloat:
      if (keep) {
        emitter_.StoreFloatKeep(base, offset);
        Push(1);
        depth_ -= 1;
      } else {
        emitter_.StoreFloat(base, offset);
        depth_ -= 1;
      }
      break;
    case vtInt: emitter_.StoreInt(base, offset); break;
    case vtBool: emitter_.StoreBool(base, offset); break;
  }
}

int TCompiler::Unary(TExpression& node) {
  const int operand = Expression(*node.Left);
  const int index = UnaryPrimitive(node);
  if (index < 0) throw EZentrope("Could not translate unary operator");
  Apply(index, operand, Registers(node.Type));
  return Registers(node.Type);
}

int TCompiler::Need(TExpression& node) {
  const int offset = emitter_.Offset();
  const int depth = depth_, max_depth = max_depth_, temporary = temporary_;
  depth_ = 0;
  max_depth_ = 0;
  Expression(node);
  const int need = max_depth_;
  emitter_.SetOffset(offset);
  depth_ = depth;
  max_depth_ = max_depth;
  temporary_ = temporary;
  return need;
}

// Decided once, while measuring; the emitting pass follows the same decisions so
// that it writes exactly what was measured. Either operand may be computed on top
// of the other's value (at most 2 registers) when it needs at most 6 itself.
// With #z parked only 6 registers are free: when the right operand's value held
// below the left one would not fit, the left one goes first if that fits. Both
// orders compute the same value (the primitives have reversed variants), so this
// is only done where the operands assign nothing, which would make the order
// visible.
TCompiler::TOrder TCompiler::OrderOf(TExpression& node) {
  if (auto found = orders_.find(&node); found != orders_.end()) return found->second;
  if (!emitter_.Measuring()) throw EZentrope("Could not translate expression");
  TOrder order = TOrder::Spill;
  const int left = Need(*node.Left);
  if (left <= 6)
    order = TOrder::RightFirst;
  else if (Need(*node.Right) <= 6)
    order = TOrder::LeftFirst;
  const int left_registers = Registers(node.Left->Type);
  const int right_registers = Registers(node.Right->Type);
  if (parked_ && order == TOrder::RightFirst && left_registers > 0 && right_registers > 0 &&
      right_registers + left > kRegistersAboveParkedZ && !HasAssignment(&node)) {
    const int right = Need(*node.Right);
    if (std::max(left, left_registers + right) <= kRegistersAboveParkedZ)
      order = TOrder::LeftFirst;
  }
  orders_[&node] = order;
  return order;
}

// Temporaries are shared by all statements by number. A number may be needed for
// different types in different statements; each type gets its own slot, so a
// complex spill never overruns a float-sized one.
TVariable& TCompiler::Temporary(int number, TValueType type) {
  for (int i = 0; i < Variables().Count(); ++i) {
    TVariable& entry = Variables().Item(i);
    if (entry.Kind == TVariableKind::Temporary && entry.Number == number && entry.Type == type)
      return entry;
  }
  return Variables().AddTemporary(number, type);
}

int TCompiler::Binary(TExpression& node) {
  TExpression& left = *node.Left;
  TExpression& right = *node.Right;
  const int result = Registers(node.Type);
  const TValueType operand_type = Wider(left.Type, right.Type);
  if (Registers(left.Type) == 0 && Registers(right.Type) == 0) {
    // Int and bool operands: the right one waits on the machine stack.
    Expression(right);
    emitter_.PushEax();
    Expression(left);
    emitter_.PopEdx();
    const int index = BinaryPrimitive(node, false);
    if (index < 0) throw EZentrope(OperatorError(operand_type));
    Apply(index, 0, result);
    return result;
  }
  const TOrder order = OrderOf(node);
  const bool reversed = order != TOrder::LeftFirst;
  const int index = BinaryPrimitive(node, reversed);
  if (index < 0) throw EZentrope(OperatorError(operand_type));
  int operands = 0;
  switch (order) {
    case TOrder::RightFirst:
      operands = Expression(right);
      operands += Expression(left);
      break;
    case TOrder::LeftFirst:
      operands = Expression(left);
      operands += Expression(right);
      break;
    case TOrder::Spill: {
      // Neither operand fits above the other: the left one waits in memory.
      const TVariable& spill = Temporary(temporary_++, left.Type);
      const TMemory memory{TCodeEmitter::kVars, spill.Offset};
      Expression(left);
      StoreValue(left.Type, memory.Base, memory.Offset, false);
      operands = Expression(right);
      operands += LoadValue(left.Type, memory.Base, memory.Offset);
      break;
    }
  }
  Apply(index, operands, result);
  return result;
}

int TCompiler::Function(TExpression& node) {
  TExpression& argument = *node.Left;
  const int operand = Expression(argument);
  if (node.Code == fnIdent) return operand;
  if (node.Code == fnZero && argument.Type == vtComplex) {
    // The argument is still computed for what its assignments do.
    Apply(prDiscardComplex, 2, 0);
    Apply(prLoadComplexZero, 0, 2);
    return 2;
  }
  const int index = FunctionPrimitive(node);
  if (index < 0)
    throw EZentrope(node.Code == fnZero ? "Could not translate ZERO" : FunctionError(argument.Type));
  if (node.Code == fnCabs && argument.Type == vtComplex && node.Type == vtFloat) {
    // The primitive leaves the complex (modulus, 0) while the checker types the
    // call as a float: keep the real part, or the zero would stay on the FPU.
    Apply(index, operand, 2);
    Apply(prComplexReal, 2, 1);
    return 1;
  }
  Apply(index, operand, Registers(node.Type));
  return Registers(node.Type);
}

int TCompiler::Assignment(TExpression& node, bool used) {
  TMemory memory{};
  if (!InMemory(*node.Left, memory)) throw EZentrope("Could not translate expression");
  const TValueType type = node.Left->Type;
  const TExpression& source = *node.Right;
  if (CopyAssignment(type, memory.Base, memory.Offset, source))
    return used ? LoadValue(type, memory.Base, memory.Offset) : 0;
  if (!used && source.Kind == nkLiteral && source.Literal.Type == type) {
    if (type == vtInt) {
      emitter_.StoreIntLiteral(memory.Base, memory.Offset, source.Literal.Int);
      return 0;
    }
    if (type == vtBool) {
      emitter_.StoreBoolLiteral(memory.Base, memory.Offset, source.Literal.Bool);
      return 0;
    }
  }
  const int registers = Expression(*node.Right);
  StoreValue(type, memory.Base, memory.Offset, used);
  return used ? registers : 0;
}

bool TCompiler::CopyAssignment(TValueType type, TCodeEmitter::TBase base, std::int32_t offset,
                               const TExpression& source) {
  if (type != vtComplex && type != vtFloat) return false;
  TMemory from{};
  bool one = false;
  if (source.Kind == nkLiteral && source.Literal.Type == type &&
      IsZeroOrOne(source.Literal, one)) {
    emitter_.CopyExtended(TCodeEmitter::kBlock, one ? calc::kOne : calc::kZero, base, offset);
    if (type == vtComplex)
      emitter_.CopyExtended(TCodeEmitter::kBlock, calc::kZero, base, offset + 16);
    return true;
  }
  if (source.Type != type || !InMemory(source, from)) return false;
  emitter_.CopyExtended(from.Base, from.Offset, base, offset);
  if (type == vtComplex) emitter_.CopyExtended(from.Base, from.Offset + 16, base, offset + 16);
  return true;
}

}  // namespace zt
