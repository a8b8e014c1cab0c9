// Type checking, conversions, constructs and definite initialization.
#include "formula/language/checker.h"

#include "platform/text.h"

namespace zt {

TValueType SymbolType(int symbol) {
  switch (symbol) {
    case syPixel: case syRandom: case syScreenMax: case syScreenPixel: case syCenter: case syZ:
      return vtComplex;
    case syLastSqr: case syPi: case syE: case syMagn: case syAngle: case syIndex:
      return vtFloat;
    case syMaxIter: case syNumIter: case syWidth: case syHeight: case syX: case syY:
      return vtInt;
    default:
      return vtBool;
  }
}

namespace {

TValueType DeclaredType(int keyword) {
  switch (keyword) {
    case kwComplex: return vtComplex;
    case kwFloat: return vtFloat;
    case kwInt: return vtInt;
    default: return vtBool;
  }
}

bool IsDeclaration(const TExpression& node) {
  return node.Kind == nkKeyword && node.Code >= kwComplex && node.Code <= kwBool;
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

void TChecker::EndCheck() {
  strict_ = CompileOptions().StrictTypeChecking;
  constructs_.Clear();
  section_.clear();
  condition_section_ = false;
  auto open_construct_error = [this] {
    switch (constructs_.Top().Code) {
      case kwWhile: return ERR_ENDWHILEEXPECTED;
      case kwRepeat: return ERR_UNTILEXPECTED;
      default: return ERR_ENDIFEXPECTED;
    }
  };
  bool after_condition = false;
  for (auto* link = Expressions().First(); link; link = link->Next.get()) {
    TSlot& tree = link->Tree;
    if (after_condition) Fail(ERR_LABELEXPECTED, *tree);
    if (tree->Kind == nkSection) {
      section_ = tree->Name;
      condition_section_ = tree->Flag;
      if (!constructs_.Empty()) Fail(open_construct_error(), *tree);
      continue;
    }
    if (condition_section_) {
      Check(tree, vtBool);
      ToBool(tree);
      after_condition = true;
    } else {
      CheckStatement(tree);
    }
  }
  if (!constructs_.Empty()) throw ECompileError(open_construct_error(), EndLine(), EndColumn());
  for (int i = 0; i < Variables().Count(); ++i) {
    const TVariable& variable = Variables().Item(i);
    if (variable.Kind == TVariableKind::Variable && !variable.Read)
      Warning(WARN_UNUSED, variable.Line, variable.Column);
  }
}

void TChecker::CheckStatement(TSlot& tree) {
  if (tree->Kind == nkKeyword) {
    CheckKeywordStatement(*tree);
    return;
  }
  if (!(tree->Kind == nkBinary && tree->Code == eoAssign))
    Warning(WARN_RESULTIGNORED, tree->Line, tree->Column);
  Check(tree, vtComplex);
}

void TChecker::CheckCondition(TSlot& condition) {
  Check(condition, vtBool);
  ToBool(condition);
}

void TChecker::CheckKeywordStatement(TExpression& node) {
  TVariableList& variables = Variables();
  auto top = [this] { return constructs_.Empty() ? -1 : static_cast<int>(constructs_.Top().Code); };
  switch (node.Code) {
    case kwIf:
      constructs_.Push(kwIf);
      CheckCondition(node.Left);
      variables.PushBranch();
      return;
    case kwElseIf:
    case kwElse: {
      int t = top();
      if (t == -1) Fail(node.Code == kwElseIf ? ERR_ELSEIFMISPLACED : ERR_ELSEMISPLACED, node);
      if (t == kwWhile) Fail(ERR_ENDWHILEEXPECTED, node);
      if (t == kwRepeat) Fail(ERR_UNTILEXPECTED, node);
      if (t == kwElse) Fail(ERR_ELSEAFTERELSE, node);
      if (node.Code == kwElseIf)
        CheckCondition(node.Left);
      else
        constructs_.Top().Code = kwElse;
      variables.NextBranch();
      return;
    }
    case kwEndIf: {
      int t = top();
      if (t == -1) Fail(ERR_ENDIFMISPLACED, node);
      if (t == kwWhile) Fail(ERR_ENDWHILEEXPECTED, node);
      if (t == kwRepeat) Fail(ERR_UNTILEXPECTED, node);
      constructs_.Pop();
      if (t == kwIf) variables.NextBranch();
      variables.PopBranch();
      return;
    }
    case kwWhile:
      constructs_.Push(kwWhile);
      CheckCondition(node.Left);
      variables.PushBranch();
      return;
    case kwEndWhile: {
      int t = top();
      if (t == -1) Fail(ERR_ENDWHILEMISPLACED, node);
      if (t == kwRepeat) Fail(ERR_UNTILEXPECTED, node);
      if (t != kwWhile) Fail(ERR_ENDIFEXPECTED, node);
      constructs_.Pop();
      variables.PopBranch();
      return;
    }
    case kwRepeat:
      constructs_.Push(kwRepeat);
      return;
    case kwUntil: {
      int t = top();
      if (t == -1) Fail(ERR_UNTILMISPLACED, node);
      if (t == kwWhile) Fail(ERR_ENDWHILEEXPECTED, node);
      if (t != kwRepeat) Fail(ERR_ENDIFEXPECTED, node);
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
    case nkLiteral:
      node.Type = node.Literal.Type;
      return;
    case nkVariableName:
      CheckVariable(slot);
      return;
    case nkVariable:
      node.Type = node.Variable->Type;
      return;
    case nkSymbol:
      if (!SymbolReadable(section_, node.Code)) Fail(ERR_READPREDEFINED, node);
      node.Type = SymbolType(node.Code);
      return;
    case nkParameter:
    case nkParameterValue: {
      int index = Params().IndexOfName(node.Name);
      if (index < 0) index = Params().AddSorted(std::make_unique<TParam>(node.Name));
      node.Type = Params().Items(index).ParamType();
      return;
    }
    case nkUserFunction:
      if (Funcs().IndexOfName(node.Name) < 0) Funcs().AddSorted(std::make_unique<TFunc>(node.Name));
      Check(node.Left, vtComplex);
      ToComplex(node.Left);
      node.Type = vtComplex;
      return;
    case nkFunction:
      CheckFunction(slot, wanted);
      return;
    case nkUnary:
      if (node.Code == eoNegate) {
        Check(node.Left, wanted);
        if (node.Left->Type == vtBool) Fail(ERR_TYPEERROR, node);
        node.Type = node.Left->Type;
      } else if (node.Code == eoModulus) {
        Check(node.Left, vtComplex);
        ToComplex(node.Left);
        node.Type = vtFloat;
      } else {
        CheckCondition(node.Left);
        node.Type = vtBool;
      }
      return;
    case nkBinary:
      if (node.Code == eoAssign)
        CheckAssignment(slot);
      else
        CheckBinary(slot, wanted);
      return;
    default:
      Fail(ERR_KEYWORDMISPLACED, node);
  }
}

void TChecker::CheckVariable(TSlot& slot) {
  TExpression& node = *slot;
  TVariable* variable = Variables().FindVariable(node.Name);
  if (!variable) {
    Warning(WARN_NOTDECLARED, node.Line, node.Column);
    variable = &Variables().AddVariable(node.Name, vtComplex);
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
  node.Kind = nkVariable;
  node.Variable = variable;
  node.Name.clear();
  node.Type = variable->Type;
}

void TChecker::CheckFunction(TSlot& slot, TValueType wanted) {
  TExpression& node = *slot;
  int code = node.Code;
  if (code <= fnOldZ && !FunctionAllowed(section_, code)) Fail(ERR_INVALIDFUNCTION, node);
  TSlot& argument = node.Left;
  switch (code) {
    case fnSqr:
    case fnAbs:
      Check(argument, wanted == vtBool ? vtInt : wanted);
      if (argument->Type == vtBool) ToInt(argument);
      node.Type = argument->Type;
      return;
    case fnCabs:
    case fnReal:
    case fnImag:
    case fnAtan2:
      Check(argument, vtComplex);
      ToComplex(argument);
      node.Type = vtFloat;
      return;
    case fnConj:
    case fnFlip:
    case fnZero:
      Check(argument, vtComplex);
      ToComplex(argument);
      node.Type = vtComplex;
      return;
    case fnCeil:
    case fnFloor:
    case fnTrunc:
    case fnRound:
      Check(argument, wanted == vtComplex ? vtComplex : vtFloat);
      if (argument->Type == vtComplex) {
        node.Type = vtComplex;
      } else {
        ToFloat(argument);
        node.Type = vtInt;
      }
      return;
    case fnOldZ:
      Check(argument, vtInt);
      ToInt(argument);
      node.Type = vtComplex;
      return;
    case fnIdent:
      Check(argument, wanted);
      node.Type = argument->Type;
      return;
    default:  // the transcendental functions, sqrt, log, exp, recip
      Check(argument, wanted == vtComplex ? vtComplex : vtFloat);
      if (argument->Type != vtComplex) ToFloat(argument);
      node.Type = argument->Type;
      return;
  }
}

void TChecker::CheckBinary(TSlot& slot, TValueType wanted) {
  TExpression& node = *slot;
  TSlot& left = node.Left;
  TSlot& right = node.Right;
  switch (node.Code) {
    case eoAdd:
    case eoSubtract:
    case eoMultiply:
    case eoDivide: {
      const bool divide = node.Code == eoDivide;
      TValueType w = divide && wanted != vtComplex ? vtFloat : wanted;
      Check(left, w);
      Check(right, w);
      TValueType t = Wider(left->Type, right->Type);
      if (divide && t != vtComplex) t = vtFloat;
      if (t == vtComplex) {
        // Complex arithmetic takes float operands directly.
        if (left->Type == vtComplex || divide) ToComplex(left); else ToFloat(left);
        if (right->Type == vtComplex) ToComplex(right); else ToFloat(right);
      } else if (t == vtFloat) {
        ToFloat(left);
        ToFloat(right);
      } else {
        ToInt(left);
        ToInt(right);
        t = vtInt;
      }
      node.Type = t;
      return;
    }
    case eoPower: {
      if (wanted == vtComplex) {
        Check(left, vtComplex);
        Check(right, vtComplex);
        ToComplex(left);
        ToComplex(right);
        node.Type = vtComplex;
        return;
      }
      Check(left, vtFloat);
      Check(right, vtFloat);
      TValueType t = Wider(left->Type, right->Type) == vtComplex ? vtComplex : vtFloat;
      ConvertTo(left, t);
      ConvertTo(right, t);
      node.Type = t;
      return;
    }
    case eoMod: {
      Check(left, vtFloat);
      Check(right, vtFloat);
      TValueType t = Wider(left->Type, right->Type) <= vtFloat ? vtFloat : vtInt;
      ConvertTo(left, t);
      ConvertTo(right, t);
      node.Type = t;
      return;
    }
    case eoEqual:
    case eoNotEqual: {
      Check(left, vtComplex);
      Check(right, vtComplex);
      TValueType t = Wider(left->Type, right->Type);
      ConvertTo(left, t);
      ConvertTo(right, t);
      node.Type = vtBool;
      return;
    }
    case eoLess:
    case eoLessEqual:
    case eoGreater:
    case eoGreaterEqual: {
      Check(left, vtFloat);
      Check(right, vtFloat);
      TValueType t = Wider(left->Type, right->Type);
      if (t == vtComplex) {
        if (strict_) Warning(WARN_COMPLEXCOMPARE, node.Line, node.Column);
        ToReal(left);
        ToReal(right);
      } else {
        ConvertTo(left, t == vtFloat ? vtFloat : vtInt);
        ConvertTo(right, t == vtFloat ? vtFloat : vtInt);
      }
      node.Type = vtBool;
      return;
    }
    default:  // && and ||
      CheckCondition(left);
      CheckCondition(right);
      node.Type = vtBool;
      return;
  }
}

void TChecker::CheckAssignment(TSlot& slot) {
  TExpression& node = *slot;
  TSlot& left = node.Left;
  TValueType target = vtComplex;
  TExpression* name = left.get();  // the assigned thing, inside a declaration or not
  if (left->Kind == nkKeyword) {
    if (!IsDeclaration(*left)) Fail(ERR_KEYWORDMISPLACED, *left);
    target = DeclaredType(left->Code);
    name = left->Left.get();
    if (name->Kind == nkVariableName) {
      TVariable* existing = Variables().FindVariable(name->Name);
      if (existing && existing->Type != target) Fail(ERR_ALREADYDECLARED, *name);
    } else if (name->Kind == nkSymbol) {
      if (!SymbolWritable(section_, name->Code)) Fail(ERR_WRITEPREDEFINED, *name);
      if (SymbolType(name->Code) != target) Fail(ERR_TYPEERROR, *name);
    } else {
      Fail(ERR_VARIABLEEXPECTED, *name);
    }
    // The declaration has done its work; the declared thing takes its place.
    left = std::move(left->Left);
  } else if (left->Kind == nkVariableName) {
    TVariable* existing = Variables().FindVariable(left->Name);
    target = existing ? existing->Type : vtComplex;
  } else if (left->Kind == nkSymbol) {
    if (!SymbolWritable(section_, left->Code)) Fail(ERR_WRITEPREDEFINED, *left);
    target = SymbolType(left->Code);
  } else if (left->Kind == nkParameter) {
    Warning(WARN_WRITEPARAM, left->Line, left->Column);
    int index = Params().IndexOfName(left->Name);
    if (index < 0) index = Params().AddSorted(std::make_unique<TParam>(left->Name));
    target = Params().Items(index).ParamType();
    if (!Variables().FindParameterCopy(left->Name)) {
      TVariable* copy = &Variables().AddParameterCopy(left->Name, target);
      auto value = TExpression::Make(nkParameterValue, left->Line, left->Column);
      value->Name = left->Name;
      value->Type = target;
      InsertInitialization(*copy, *left, std::move(value));
    }
  } else {
    Fail(ERR_CANNOTASSIGN, *left);
  }

  Check(node.Right, target);
  ConvertTo(node.Right, target);

  if (left->Kind == nkVariableName) {
    TVariable* variable = Variables().FindVariable(left->Name);
    if (!variable) {
      variable = &Variables().AddVariable(left->Name, target);
      variable->Line = left->Line;
      variable->Column = left->Column;
    }
    Variables().MarkInitialized(*variable);
    left->Kind = nkVariable;
    left->Variable = variable;
    left->Name.clear();
  }
  left->Type = target;
  node.Type = target;
}

}  // namespace zt
