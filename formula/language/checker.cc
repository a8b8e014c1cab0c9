// Type checking, conversions, constructs and definite initialization.
#include "formula/language/checker.h"

#include <array>

#include "platform/text.h"

namespace zt {

TValueType SymbolType(int symbol) {
  switch (symbol) {
    case kSymbolPixel:
    case kSymbolRandom:
    case kSymbolScreenMax:
    case kSymbolScreenPixel:
    case kSymbolCenter:
    case kSymbolZ: return kTypeComplex;
    case kSymbolLastSqr:
    case kSymbolPi:
    case kSymbolE:
    case kSymbolMagn:
    case kSymbolAngle:
    case kSymbolIndex: return kTypeFloat;
    case kSymbolMaxIter:
    case kSymbolNumIter:
    case kSymbolWidth:
    case kSymbolHeight:
    case kSymbolX:
    case kSymbolY: return kTypeInt;
    default: return kTypeBool;
  }
}

namespace {

TValueType DeclaredType(int keyword) {
  switch (keyword) {
    case kKeywordComplex: return kTypeComplex;
    case kKeywordFloat: return kTypeFloat;
    case kKeywordInt: return kTypeInt;
    default: return kTypeBool;
  }
}

bool IsDeclaration(const TExpression& node) {
  return node.Kind == kNodeKeyword && node.Code >= kKeywordComplex && node.Code <= kKeywordBool;
}

// Calls `visit` on `node` and then on the nodes below it.
template <typename TVisit>
void ForEachNode(TExpression* node, const TVisit& visit) {
  if (!node) return;
  visit(*node);
  ForEachNode(node->Left.get(), visit);
  ForEachNode(node->Right.get(), visit);
}

}  // namespace

bool TChecker::FunctionAllowed(const std::string&, int) { return true; }
bool TChecker::SymbolReadable(const std::string&, int) { return false; }
bool TChecker::SymbolWritable(const std::string&, int) { return false; }

void TChecker::Fail(int error, const TExpression& at) {
  throw ECompileError(error, at.Line, at.Column);
}

// ---------------------------------------------------------------------------
// The walk

void TChecker::ShadowWrittenSymbols() {
  struct TWrite {
    bool Found = false;
    int Line = 0, Column = 0;
  };
  std::array<TWrite, kSymbolCount> writes{};
  std::string section;
  for (auto* link = Expressions().First(); link; link = link->Next.get()) {
    if (link->Tree->Kind == kNodeSection) {
      section = link->Tree->Name;
      continue;
    }
    ForEachNode(link->Tree.get(), [&](const TExpression& node) {
      if (node.Kind != kNodeBinary || node.Code != kExprAssign) return;
      const TExpression& target = *node.Left;
      if (target.Kind != kNodeSymbol || target.Code >= kSymbolCount) return;
      TWrite& write = writes[target.Code];
      if (write.Found || SymbolWritable(section, target.Code)) return;
      write = {true, target.Line, target.Column};
    });
  }
  for (auto* link = Expressions().First(); link; link = link->Next.get()) {
    ForEachNode(link->Tree.get(), [&](TExpression& node) {
      if (node.Kind != kNodeSymbol || node.Code >= kSymbolCount || !writes[node.Code].Found) return;
      node.Kind = kNodeVariableName;
      node.Name = SymbolName(node.Code);
    });
  }
  // Unchecked "name = symbol" statements; the walk types them like any other.
  for (int code = 0; code < kSymbolCount; ++code) {
    const TWrite& write = writes[static_cast<size_t>(code)];
    if (!write.Found) continue;
    auto assign = TExpression::Make(kNodeBinary, write.Line, write.Column, kExprAssign);
    assign->Left = TExpression::Make(kNodeVariableName, write.Line, write.Column);
    assign->Left->Name = SymbolName(code);
    assign->Right = TExpression::Make(kNodeSymbol, write.Line, write.Column, code);
    Expressions().InsertFirst(std::move(assign));
  }
}

void TChecker::EndCheck() {
  if (Code().FractintDialect) ShadowWrittenSymbols();
  strict_ = CompileOptions().StrictTypeChecking;
  constructs_.Clear();
  section_.clear();
  condition_section_ = false;
  auto open_construct_error = [this] {
    switch (constructs_.Top().Code) {
      case kKeywordWhile: return ERR_ENDWHILEEXPECTED;
      case kKeywordRepeat: return ERR_UNTILEXPECTED;
      default: return ERR_ENDIFEXPECTED;
    }
  };
  bool after_condition = false;
  for (auto* link = Expressions().First(); link; link = link->Next.get()) {
    TSlot& tree = link->Tree;
    if (after_condition) Fail(ERR_LABELEXPECTED, *tree);
    if (tree->Kind == kNodeSection) {
      section_ = tree->Name;
      condition_section_ = tree->Flag;
      if (!constructs_.Empty()) Fail(open_construct_error(), *tree);
      continue;
    }
    if (condition_section_) {
      Check(tree, kTypeBool);
      ToBool(tree);
      after_condition = true;
    } else {
      CheckStatement(tree);
    }
  }
  if (!constructs_.Empty()) throw ECompileError(open_construct_error(), EndLine(), EndColumn());
  for (int i = 0; i < Variables().Count(); ++i) {
    const TVariable& variable = Variables().Item(i);
    if (variable.Kind == TVariableKind::kVariable && !variable.Read)
      Warning(WARN_UNUSED, variable.Line, variable.Column);
  }
}

void TChecker::CheckStatement(TSlot& tree) {
  if (tree->Kind == kNodeKeyword) {
    CheckKeywordStatement(*tree);
    return;
  }
  if (!(tree->Kind == kNodeBinary && tree->Code == kExprAssign))
    Warning(WARN_RESULTIGNORED, tree->Line, tree->Column);
  Check(tree, kTypeComplex);
}

void TChecker::CheckCondition(TSlot& condition) {
  Check(condition, kTypeBool);
  ToBool(condition);
}

void TChecker::CheckKeywordStatement(TExpression& node) {
  TVariableList& variables = Variables();
  auto top = [this] { return constructs_.Empty() ? -1 : static_cast<int>(constructs_.Top().Code); };
  switch (node.Code) {
    case kKeywordIf:
      constructs_.Push(kKeywordIf);
      CheckCondition(node.Left);
      variables.PushBranch();
      return;
    case kKeywordElseIf:
    case kKeywordElse: {
      int t = top();
      if (t == -1)
        Fail(node.Code == kKeywordElseIf ? ERR_ELSEIFMISPLACED : ERR_ELSEMISPLACED, node);
      if (t == kKeywordWhile) Fail(ERR_ENDWHILEEXPECTED, node);
      if (t == kKeywordRepeat) Fail(ERR_UNTILEXPECTED, node);
      if (t == kKeywordElse) Fail(ERR_ELSEAFTERELSE, node);
      if (node.Code == kKeywordElseIf)
        CheckCondition(node.Left);
      else
        constructs_.Top().Code = kKeywordElse;
      variables.NextBranch();
      return;
    }
    case kKeywordEndIf: {
      int t = top();
      if (t == -1) Fail(ERR_ENDIFMISPLACED, node);
      if (t == kKeywordWhile) Fail(ERR_ENDWHILEEXPECTED, node);
      if (t == kKeywordRepeat) Fail(ERR_UNTILEXPECTED, node);
      constructs_.Pop();
      if (t == kKeywordIf) variables.NextBranch();
      variables.PopBranch();
      return;
    }
    case kKeywordWhile:
      constructs_.Push(kKeywordWhile);
      CheckCondition(node.Left);
      variables.PushBranch();
      return;
    case kKeywordEndWhile: {
      int t = top();
      if (t == -1) Fail(ERR_ENDWHILEMISPLACED, node);
      if (t == kKeywordRepeat) Fail(ERR_UNTILEXPECTED, node);
      if (t != kKeywordWhile) Fail(ERR_ENDIFEXPECTED, node);
      constructs_.Pop();
      variables.PopBranch();
      return;
    }
    case kKeywordRepeat: constructs_.Push(kKeywordRepeat); return;
    case kKeywordUntil: {
      int t = top();
      if (t == -1) Fail(ERR_UNTILMISPLACED, node);
      if (t == kKeywordWhile) Fail(ERR_ENDWHILEEXPECTED, node);
      if (t != kKeywordRepeat) Fail(ERR_ENDIFEXPECTED, node);
      constructs_.Pop();
      CheckCondition(node.Left);
      return;
    }
  }
  Fail(ERR_KEYWORDMISPLACED, node);
}

// ---------------------------------------------------------------------------
// Nodes

void TChecker::Check(TSlot& slot, TValueType wanted) {
  TExpression& node = *slot;
  switch (node.Kind) {
    case kNodeLiteral: node.Type = node.Literal.Type; return;
    case kNodeVariableName: CheckVariable(slot); return;
    case kNodeVariable: node.Type = node.Variable->Type; return;
    case kNodeSymbol:
      if (!SymbolReadable(section_, node.Code)) Fail(ERR_READPREDEFINED, node);
      node.Type = SymbolType(node.Code);
      return;
    case kNodeParameter:
    case kNodeParameterValue: {
      int index = Params().IndexOfName(node.Name);
      if (index < 0) index = Params().AddSorted(std::make_unique<TParam>(node.Name));
      node.Type = Params().Items(index).ParamType();
      return;
    }
    case kNodeUserFunction:
      if (Funcs().IndexOfName(node.Name) < 0) Funcs().AddSorted(std::make_unique<TFunc>(node.Name));
      Check(node.Left, kTypeComplex);
      ToComplex(node.Left);
      node.Type = kTypeComplex;
      return;
    case kNodeFunction: CheckFunction(slot, wanted); return;
    case kNodeUnary:
      if (node.Code == kExprNegate) {
        Check(node.Left, wanted);
        if (node.Left->Type == kTypeBool) Fail(ERR_TYPEERROR, node);
        node.Type = node.Left->Type;
      } else if (node.Code == kExprModulus) {
        Check(node.Left, kTypeComplex);
        ToComplex(node.Left);
        node.Type = kTypeFloat;
      } else {
        CheckCondition(node.Left);
        node.Type = kTypeBool;
      }
      return;
    case kNodeBinary:
      if (node.Code == kExprAssign)
        CheckAssignment(slot);
      else
        CheckBinary(slot, wanted);
      return;
    default: Fail(ERR_KEYWORDMISPLACED, node);
  }
}

void TChecker::CheckVariable(TSlot& slot) {
  TExpression& node = *slot;
  TVariable* variable = Variables().FindVariable(node.Name);
  if (!variable) {
    Warning(WARN_NOTDECLARED, node.Line, node.Column);
    variable = &Variables().AddVariable(node.Name, kTypeComplex);
    variable->Line = node.Line;
    variable->Column = node.Column;
    InsertInitialization(*variable, node);
    Variables().ForceInitialized(*variable);
  } else if (!Variables().IsInitialized(*variable)) {
    Warning(WARN_UNINITIALIZEDVARIABLE, node.Line, node.Column);
    InsertInitialization(*variable, node);
    Variables().ForceInitialized(*variable);
  }
  variable->Read = true;
  node.Kind = kNodeVariable;
  node.Variable = variable;
  node.Name.clear();
  node.Type = variable->Type;
}

void TChecker::CheckFunction(TSlot& slot, TValueType wanted) {
  TExpression& node = *slot;
  int code = node.Code;
  if (code <= kFunctionOldZ && !FunctionAllowed(section_, code)) Fail(ERR_INVALIDFUNCTION, node);
  TSlot& argument = node.Left;
  switch (code) {
    case kFunctionSqr:
    case kFunctionAbs:
      Check(argument, wanted == kTypeBool ? kTypeInt : wanted);
      if (argument->Type == kTypeBool) ToInt(argument);
      node.Type = argument->Type;
      return;
    case kFunctionCabs:
    case kFunctionReal:
    case kFunctionImag:
    case kFunctionAtan2:
      Check(argument, kTypeComplex);
      ToComplex(argument);
      node.Type = kTypeFloat;
      return;
    case kFunctionConj:
    case kFunctionFlip:
    case kFunctionZero:
      Check(argument, kTypeComplex);
      ToComplex(argument);
      node.Type = kTypeComplex;
      return;
    case kFunctionCeil:
    case kFunctionFloor:
    case kFunctionTrunc:
    case kFunctionRound:
      Check(argument, wanted == kTypeComplex ? kTypeComplex : kTypeFloat);
      if (argument->Type == kTypeComplex) {
        node.Type = kTypeComplex;
      } else {
        ToFloat(argument);
        node.Type = kTypeInt;
      }
      return;
    case kFunctionOldZ:
      Check(argument, kTypeInt);
      ToInt(argument);
      node.Type = kTypeComplex;
      return;
    case kFunctionIdent:
      Check(argument, wanted);
      node.Type = argument->Type;
      return;
    default:  // the transcendental functions, sqrt, log, exp, recip
      Check(argument, wanted == kTypeComplex ? kTypeComplex : kTypeFloat);
      if (argument->Type != kTypeComplex) ToFloat(argument);
      node.Type = argument->Type;
      return;
  }
}

void TChecker::CheckBinary(TSlot& slot, TValueType wanted) {
  TExpression& node = *slot;
  TSlot& left = node.Left;
  TSlot& right = node.Right;
  switch (node.Code) {
    case kExprAdd:
    case kExprSubtract:
    case kExprMultiply:
    case kExprDivide: {
      const bool divide = node.Code == kExprDivide;
      TValueType w = divide && wanted != kTypeComplex ? kTypeFloat : wanted;
      Check(left, w);
      Check(right, w);
      TValueType t = Wider(left->Type, right->Type);
      if (divide && t != kTypeComplex) t = kTypeFloat;
      if (t == kTypeComplex) {
        // Complex arithmetic takes float operands directly.
        if (left->Type == kTypeComplex || divide)
          ToComplex(left);
        else
          ToFloat(left);
        if (right->Type == kTypeComplex)
          ToComplex(right);
        else
          ToFloat(right);
      } else if (t == kTypeFloat) {
        ToFloat(left);
        ToFloat(right);
      } else {
        ToInt(left);
        ToInt(right);
        t = kTypeInt;
      }
      node.Type = t;
      return;
    }
    case kExprPower: {
      if (wanted == kTypeComplex) {
        Check(left, kTypeComplex);
        Check(right, kTypeComplex);
        ToComplex(left);
        ToComplex(right);
        node.Type = kTypeComplex;
        return;
      }
      Check(left, kTypeFloat);
      Check(right, kTypeFloat);
      TValueType t = Wider(left->Type, right->Type) == kTypeComplex ? kTypeComplex : kTypeFloat;
      ConvertTo(left, t);
      ConvertTo(right, t);
      node.Type = t;
      return;
    }
    case kExprMod: {
      Check(left, kTypeFloat);
      Check(right, kTypeFloat);
      TValueType t = Wider(left->Type, right->Type) <= kTypeFloat ? kTypeFloat : kTypeInt;
      ConvertTo(left, t);
      ConvertTo(right, t);
      node.Type = t;
      return;
    }
    case kExprEqual:
    case kExprNotEqual: {
      Check(left, kTypeComplex);
      Check(right, kTypeComplex);
      TValueType t = Wider(left->Type, right->Type);
      ConvertTo(left, t);
      ConvertTo(right, t);
      node.Type = kTypeBool;
      return;
    }
    case kExprLess:
    case kExprLessEqual:
    case kExprGreater:
    case kExprGreaterEqual: {
      Check(left, kTypeFloat);
      Check(right, kTypeFloat);
      TValueType t = Wider(left->Type, right->Type);
      if (t == kTypeComplex) {
        if (strict_) Warning(WARN_COMPLEXCOMPARE, node.Line, node.Column);
        ToReal(left);
        ToReal(right);
      } else {
        ConvertTo(left, t == kTypeFloat ? kTypeFloat : kTypeInt);
        ConvertTo(right, t == kTypeFloat ? kTypeFloat : kTypeInt);
      }
      node.Type = kTypeBool;
      return;
    }
    default:  // && and ||
      CheckCondition(left);
      CheckCondition(right);
      node.Type = kTypeBool;
      return;
  }
}

void TChecker::CheckAssignment(TSlot& slot) {
  TExpression& node = *slot;
  TSlot& left = node.Left;
  TValueType target = kTypeComplex;
  TExpression* name = left.get();  // the assigned thing, inside a declaration or not
  if (left->Kind == kNodeKeyword) {
    if (!IsDeclaration(*left)) Fail(ERR_KEYWORDMISPLACED, *left);
    target = DeclaredType(left->Code);
    name = left->Left.get();
    if (name->Kind == kNodeVariableName) {
      TVariable* existing = Variables().FindVariable(name->Name);
      if (existing && existing->Type != target) Fail(ERR_ALREADYDECLARED, *name);
    } else if (name->Kind == kNodeSymbol) {
      if (!SymbolWritable(section_, name->Code)) Fail(ERR_WRITEPREDEFINED, *name);
      if (SymbolType(name->Code) != target) Fail(ERR_TYPEERROR, *name);
    } else {
      Fail(ERR_VARIABLEEXPECTED, *name);
    }
    // The declaration has done its work; the declared thing takes its place.
    left = std::move(left->Left);
  } else if (left->Kind == kNodeVariableName) {
    TVariable* existing = Variables().FindVariable(left->Name);
    target = existing ? existing->Type : kTypeComplex;
  } else if (left->Kind == kNodeSymbol) {
    if (!SymbolWritable(section_, left->Code)) Fail(ERR_WRITEPREDEFINED, *left);
    target = SymbolType(left->Code);
  } else if (left->Kind == kNodeParameter) {
    Warning(WARN_WRITEPARAM, left->Line, left->Column);
    int index = Params().IndexOfName(left->Name);
    if (index < 0) index = Params().AddSorted(std::make_unique<TParam>(left->Name));
    target = Params().Items(index).ParamType();
    if (!Variables().FindParameterCopy(left->Name)) {
      TVariable* copy = &Variables().AddParameterCopy(left->Name, target);
      auto value = TExpression::Make(kNodeParameterValue, left->Line, left->Column);
      value->Name = left->Name;
      value->Type = target;
      InsertInitialization(*copy, *left, std::move(value));
    }
  } else {
    Fail(ERR_CANNOTASSIGN, *left);
  }

  Check(node.Right, target);
  ConvertTo(node.Right, target);

  if (left->Kind == kNodeVariableName) {
    TVariable* variable = Variables().FindVariable(left->Name);
    if (!variable) {
      variable = &Variables().AddVariable(left->Name, target);
      variable->Line = left->Line;
      variable->Column = left->Column;
    }
    Variables().MarkInitialized(*variable);
    left->Kind = kNodeVariable;
    left->Variable = variable;
    left->Name.clear();
  }
  left->Type = target;
  node.Type = target;
}

}  // namespace zt
