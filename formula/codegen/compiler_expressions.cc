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
    case kTypeComplex: return 2;
    case kTypeFloat: return 1;
    default: return 0;
  }
}

// An operand that lies in memory: a variable-block slot or a calculation-block cell.
struct TMemory {
  TCodeEmitter::TBase Base;
  std::int32_t Offset;
};

bool InMemory(const TExpression& node, TMemory& memory) {
  if (node.Kind == kNodeVariable) {
    memory = {TCodeEmitter::kVars, node.Variable->Offset};
    return true;
  }
  if (node.Kind == kNodeSymbol && SymbolCell(node.Code) >= 0) {
    memory = {TCodeEmitter::kBlock, SymbolCell(node.Code)};
    return true;
  }
  return false;
}

const char* VariableError(TVariableKind kind) {
  switch (kind) {
    case TVariableKind::kVariable: return "Could not translate variable (user)";
    case TVariableKind::kConstant: return "Could not translate variable (constant)";
    case TVariableKind::kParameterCopy: return "Could not translate variable (parameter)";
    default: return "Could not translate variable";
  }
}

const char* OperatorError(TValueType type) {
  switch (type) {
    case kTypeComplex: return "Could not translate complex operator";
    case kTypeFloat: return "Could not translate float operator";
    case kTypeInt: return "Could not translate int operator";
    default: return "Could not translate bool operator";
  }
}

const char* FunctionError(TValueType type) {
  switch (type) {
    case kTypeComplex: return "Could not translate complex function";
    case kTypeFloat: return "Could not translate float function";
    case kTypeInt: return "Could not translate int function";
    default: return "Could not translate bool function";
  }
}

// The literal 0 or 1 of a complex or float value (complex: imaginary part 0).
bool IsZeroOrOne(const TLiteral& value, bool& one) {
  if (value.Type != kTypeComplex && value.Type != kTypeFloat) return false;
  if (value.Type == kTypeComplex && value.Im != 0) return false;
  one = value.Re == 1;
  return value.Re == 0 || one;
}

bool HasAssignment(const TExpression* node) {
  if (!node) return false;
  if (node->Kind == kNodeBinary && node->Code == kExprAssign) return true;
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
    case kNodeLiteral: return Literal(node);
    case kNodeVariable:
    case kNodeSymbol: return Load(node);
    case kNodeUnary: return Unary(node);
    case kNodeBinary: return node.Code == kExprAssign ? Assignment(node, true) : Binary(node);
    case kNodeFunction: return Function(node);
    default: throw EZentrope("Could not translate expression");
  }
}

int TCompiler::Literal(const TExpression& node) {
  const TLiteral& value = node.Literal;
  bool one = false;
  switch (value.Type) {
    case kTypeComplex:
      if (!IsZeroOrOne(value, one)) throw EZentrope("Could not translate complex literal");
      Apply(one ? kPrimitiveLoadComplexOne : kPrimitiveLoadComplexZero, 0, 2);
      return 2;
    case kTypeFloat:
      if (!IsZeroOrOne(value, one)) throw EZentrope("Could not translate float literal");
      Apply(one ? kPrimitiveLoadFloatOne : kPrimitiveLoadFloatZero, 0, 1);
      return 1;
    case kTypeInt: emitter_.IntLiteral(value.Int); return 0;
    case kTypeBool: emitter_.BoolLiteral(value.Bool); return 0;
  }
  throw EZentrope("Could not translate expression");
}

int TCompiler::Load(const TExpression& node) {
  TMemory memory{};
  if (node.Kind == kNodeVariable) {
    if (node.Variable->Type > kTypeBool) throw EZentrope(VariableError(node.Variable->Kind));
  } else if (!InMemory(node, memory)) {
    throw EZentrope("Could not translate predefined symbol");
  }
  const TValueType type = node.Kind == kNodeVariable ? node.Variable->Type : SymbolType(node.Code);
  if (const int below = ParkedRegister(node); below >= 0) return LoadParked(below, type);
  if (node.Kind == kNodeVariable && node.Variable->Kind == TVariableKind::kConstant &&
      Registers(type) > 0)
    return LoadConstant(*node.Variable);
  InMemory(node, memory);
  return LoadValue(type, memory.Base, memory.Offset);
}

// Each part from its doubles where they hold it exactly, otherwise extended.
int TCompiler::LoadConstant(const TVariable& constant) {
  // A complex pushes its imaginary part first.
  for (int part = constant.Type == kTypeComplex ? 16 : 0; part >= 0; part -= 16) {
    double high, low;
    const TDoubleForm form = SplitExtended(part ? constant.Value.Im : constant.Value.Re, high, low);
    const std::int32_t doubles = TVariableList::DoublesOffset(constant) + part;
    if (form == TDoubleForm::kNone) {
      emitter_.LoadFloat(TCodeEmitter::kVars, constant.Offset + part);
    } else {
      emitter_.LoadDouble(TCodeEmitter::kVars, doubles);
      if (form == TDoubleForm::kHighLow) emitter_.AddDouble(TCodeEmitter::kVars, doubles + 8);
    }
  }
  Push(Registers(constant.Type));
  return Registers(constant.Type);
}

int TCompiler::LoadValue(TValueType type, TCodeEmitter::TBase base, std::int32_t offset) {
  switch (type) {
    case kTypeComplex: emitter_.LoadComplex(base, offset); break;
    case kTypeFloat: emitter_.LoadFloat(base, offset); break;
    case kTypeInt: emitter_.LoadInt(base, offset); break;
    case kTypeBool: emitter_.LoadBool(base, offset); break;
  }
  Push(Registers(type));
  return Registers(type);
}

void TCompiler::StoreValue(TValueType type, TCodeEmitter::TBase base, std::int32_t offset,
                           bool keep) {
  switch (type) {
    case kTypeComplex:
      if (keep) {
        emitter_.StoreComplexKeep(base, offset);
        Push(1);  // the copy that each part is stored from
        depth_ -= 1;
      } else {
        emitter_.StoreComplex(base, offset);
        depth_ -= 2;
      }
      break;
    case kTypeFloat:
      if (keep) {
        emitter_.StoreFloatKeep(base, offset);
        Push(1);
        depth_ -= 1;
      } else {
        emitter_.StoreFloat(base, offset);
        depth_ -= 1;
      }
      break;
    case kTypeInt: emitter_.StoreInt(base, offset); break;
    case kTypeBool: emitter_.StoreBool(base, offset); break;
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
// Below parked values fewer registers are free, so there the order that needs
// fewer registers is taken (the right operand first on a tie). Both orders
// compute the same value (the primitives have reversed variants), so this is
// only done where the operands assign nothing, which would make the order
// visible.
TCompiler::TOrder TCompiler::OrderOf(TExpression& node) {
  if (auto found = orders_.find(&node); found != orders_.end()) return found->second;
  if (!emitter_.Measuring()) throw EZentrope("Could not translate expression");
  TOrder order = TOrder::kSpill;
  const int left = Need(*node.Left);
  if (left <= 6)
    order = TOrder::kRightFirst;
  else if (Need(*node.Right) <= 6)
    order = TOrder::kLeftFirst;
  const int left_registers = Registers(node.Left->Type);
  const int right_registers = Registers(node.Right->Type);
  if (!parked_.empty() && left_registers > 0 && right_registers > 0 && !HasAssignment(&node)) {
    const int right = Need(*node.Right);
    const int right_first = std::max(right, right_registers + left);
    const int left_first = std::max(left, left_registers + right);
    order = left_first < right_first ? TOrder::kLeftFirst : TOrder::kRightFirst;
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
    if (entry.Kind == TVariableKind::kTemporary && entry.Number == number && entry.Type == type)
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
  const bool reversed = order != TOrder::kLeftFirst;
  const int index = BinaryPrimitive(node, reversed);
  if (index < 0) throw EZentrope(OperatorError(operand_type));
  int operands = 0;
  switch (order) {
    case TOrder::kRightFirst:
      operands = Expression(right);
      operands += Expression(left);
      break;
    case TOrder::kLeftFirst:
      operands = Expression(left);
      operands += Expression(right);
      break;
    case TOrder::kSpill: {
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
  if (node.Code == kFunctionIdent) return operand;
  if (node.Code == kFunctionZero && argument.Type == kTypeComplex) {
    // The argument is still computed for what its assignments do.
    Apply(kPrimitiveDiscardComplex, 2, 0);
    Apply(kPrimitiveLoadComplexZero, 0, 2);
    return 2;
  }
  const int index = FunctionPrimitive(node);
  if (index < 0)
    throw EZentrope(node.Code == kFunctionZero ? "Could not translate ZERO"
                                               : FunctionError(argument.Type));
  if (node.Code == kFunctionCabs && argument.Type == kTypeComplex && node.Type == kTypeFloat) {
    // The primitive leaves the complex (modulus, 0) while the checker types the
    // call as a float: keep the real part, or the zero would stay on the FPU.
    Apply(index, operand, 2);
    Apply(kPrimitiveComplexReal, 2, 1);
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
  // A parked value that the code writes is current only in its register.
  if (!StaleInMemory(source) && CopyAssignment(type, memory.Base, memory.Offset, source))
    return used ? LoadValue(type, memory.Base, memory.Offset) : 0;
  if (!used && source.Kind == kNodeLiteral && source.Literal.Type == type) {
    if (type == kTypeInt) {
      emitter_.StoreIntLiteral(memory.Base, memory.Offset, source.Literal.Int);
      return 0;
    }
    if (type == kTypeBool) {
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
  if (type != kTypeComplex && type != kTypeFloat) return false;
  TMemory from{};
  bool one = false;
  if (source.Kind == kNodeLiteral && source.Literal.Type == type &&
      IsZeroOrOne(source.Literal, one)) {
    emitter_.CopyExtended(TCodeEmitter::kBlock, one ? calc::kOne : calc::kZero, base, offset);
    if (type == kTypeComplex)
      emitter_.CopyExtended(TCodeEmitter::kBlock, calc::kZero, base, offset + 16);
    return true;
  }
  if (source.Type != type || !InMemory(source, from)) return false;
  emitter_.CopyExtended(from.Base, from.Offset, base, offset);
  if (type == kTypeComplex) emitter_.CopyExtended(from.Base, from.Offset + 16, base, offset + 16);
  return true;
}

}  // namespace zt
