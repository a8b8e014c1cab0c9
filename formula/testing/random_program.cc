// Random formula entries for differential testing.
#include "formula/testing/random_program.h"

#include <cstdio>

namespace zt::testing {
namespace {

constexpr int kVariablesPerType = 3;
constexpr const char* kComplexFunctions[] = {
    "sin",  "sinh",  "asin",  "asinh",  "cos",  "cosh",  "acos",  "acosh", "tan", "tanh",
    "atan", "atanh", "cotan", "cotanh", "sqr",  "sqrt",  "log",   "exp",   "abs", "conj",
    "flip", "ident", "zero",  "recip",  "ceil", "floor", "trunc", "round"};
constexpr const char* kFloatFunctions[] = {
    "sin",  "sinh",  "asin",  "asinh",  "cos", "cosh", "acos", "acosh", "tan", "tanh",
    "atan", "atanh", "cotan", "cotanh", "sqr", "sqrt", "log",  "exp",   "abs", "recip"};

}  // namespace

std::string TRandomProgram::Variable(char type) {
  return std::string(1, type) + std::to_string(Pick(kVariablesPerType));
}

std::string TRandomProgram::FloatLiteral() {
  static constexpr const char* kSpecial[] = {"0.0", "1.0", "2.0", "0.5", "3.0", "4.0", "1e-30"};
  if (Chance(30)) return kSpecial[Pick(7)];
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6f",
                std::uniform_real_distribution<double>(0, 3)(random_));
  return buffer;
}

std::string TRandomProgram::Complex(int depth) {
  if (depth <= 0 || Chance(25)) {
    switch (Pick(5)) {
      case 0: return "(" + FloatLiteral() + ", " + (Chance(50) ? "-" : "") + FloatLiteral() + ")";
      case 1: return Chance(50) ? "#pixel" : "#z";
      case 2: return FloatLiteral() + "i";
      default: return Variable('c');
    }
  }
  switch (Pick(8)) {
    case 0: return "-" + Complex(depth - 1);
    case 1:
    case 2: {
      static constexpr const char* kOps[] = {"+", "-", "*", "/", "^"};
      return "(" + Complex(depth - 1) + " " + kOps[Pick(5)] + " " + Complex(depth - 1) + ")";
    }
    case 3: {  // mixed with a float on either side
      static constexpr const char* kOps[] = {"+", "-", "*", "/"};
      return Chance(50)
                 ? "(" + Complex(depth - 1) + " " + kOps[Pick(4)] + " " + Float(depth - 1) + ")"
                 : "(" + Float(depth - 1) + " " + kOps[Pick(3)] + " " + Complex(depth - 1) + ")";
    }
    case 4: return "(" + Complex(depth - 1) + " ^ " + std::to_string(Pick(6)) + ")";
    default: return std::string(kComplexFunctions[Pick(28)]) + "(" + Complex(depth - 1) + ")";
  }
}

std::string TRandomProgram::Float(int depth) {
  if (depth <= 0 || Chance(25))
    return Chance(40) ? FloatLiteral() : Chance(20) ? "#pi" : Variable('f');
  switch (Pick(8)) {
    case 0: return "-" + Float(depth - 1);
    case 1:
    case 2: {
      static constexpr const char* kOps[] = {"+", "-", "*", "/", "^", "%"};
      return "(" + Float(depth - 1) + " " + kOps[Pick(6)] + " " + Float(depth - 1) + ")";
    }
    case 3: {
      static constexpr const char* kParts[] = {"real", "imag", "cabs", "atan2"};
      return std::string(kParts[Pick(4)]) + "(" + Complex(depth - 1) + ")";
    }
    case 4: return "|" + Complex(depth - 1) + "|";
    case 5: return "(" + Float(depth - 1) + " + " + Int(depth - 1) + ")";
    default: return std::string(kFloatFunctions[Pick(20)]) + "(" + Float(depth - 1) + ")";
  }
}

std::string TRandomProgram::Int(int depth) {
  if (depth <= 0 || Chance(30)) return Chance(50) ? std::to_string(Pick(20) - 5) : Variable('i');
  switch (Pick(6)) {
    case 0: return "-" + Int(depth - 1);
    case 1:
    case 2: {
      static constexpr const char* kOps[] = {"+", "-", "*", "%"};
      return "(" + Int(depth - 1) + " " + kOps[Pick(4)] + " " + Int(depth - 1) + ")";
    }
    case 3: {
      static constexpr const char* kRound[] = {"floor", "ceil", "trunc", "round"};
      return std::string(kRound[Pick(4)]) + "(" + Float(depth - 1) + ")";
    }
    default: return std::string(Chance(50) ? "sqr" : "abs") + "(" + Int(depth - 1) + ")";
  }
}

std::string TRandomProgram::Bool(int depth) {
  if (depth <= 0 || Chance(25)) return Chance(30) ? (Chance(50) ? "true" : "false") : Variable('b');
  static constexpr const char* kCompare[] = {"==", "!=", "<", "<=", ">", ">="};
  switch (Pick(6)) {
    case 0: return "(" + Float(depth - 1) + " " + kCompare[Pick(6)] + " " + Float(depth - 1) + ")";
    case 1: return "(" + Int(depth - 1) + " " + kCompare[Pick(6)] + " " + Int(depth - 1) + ")";
    case 2:
      return "(" + Complex(depth - 1) + (Chance(50) ? " == " : " != ") + Complex(depth - 1) + ")";
    case 3: return "!" + Bool(depth - 1);
    default: return "(" + Bool(depth - 1) + (Chance(50) ? " && " : " || ") + Bool(depth - 1) + ")";
  }
}

std::string TRandomProgram::Expression(char type, int depth) {
  switch (type) {
    case 'c': return Complex(depth);
    case 'f': return Float(depth);
    case 'i': return Int(depth);
    default: return Bool(depth);
  }
}

std::string TRandomProgram::Statement(int depth) {
  static constexpr char kTypes[] = {'c', 'f', 'i', 'b'};
  char type = kTypes[Pick(4)];
  int kind = depth > 0 ? Pick(10) : 0;
  if (kind <= 6) return Variable(type) + " = " + Expression(type, 3) + "\n";
  if (kind <= 8) {
    std::string text = "if " + Bool(2) + "\n" + Statement(depth - 1);
    if (Chance(40)) text += "elseif " + Bool(2) + "\n" + Statement(depth - 1);
    if (Chance(50)) text += "else\n" + Statement(depth - 1);
    return text + "endif\n";
  }
  // Bounded loops over a counter of their own.
  std::string counter = "k" + std::to_string(loop_counter_++);
  if (Chance(50))
    return "int " + counter + " = 0\nwhile " + counter + " < " + std::to_string(Pick(4)) + "\n" +
           Statement(depth - 1) + counter + " = " + counter + " + 1\nendwhile\n";
  return "int " + counter + " = 0\nrepeat\n" + Statement(depth - 1) + counter + " = " + counter +
         " + 1\nuntil " + counter + " >= " + std::to_string(1 + Pick(3)) + "\n";
}

std::string TRandomProgram::Entry(const std::string& name, int statements) {
  loop_counter_ = 0;
  std::string text = name + " {\n";
  for (int i = 0; i < kVariablesPerType; ++i) {
    text +=
        "complex c" + std::to_string(i) + " = (" + FloatLiteral() + ", " + FloatLiteral() + ")\n";
    text += "float f" + std::to_string(i) + " = " + FloatLiteral() + "\n";
    text += "int i" + std::to_string(i) + " = " + std::to_string(Pick(10)) + "\n";
    text += "bool b" + std::to_string(i) + " = " + (Chance(50) ? "true" : "false") + "\n";
  }
  for (int i = 0; i < statements; ++i) text += Statement(2);
  // Read every variable so none is reported unused.
  text += "#z = c0 + c1 + c2 + f0 + f1 + f2 + i0 + i1 + i2\n";
  text += "if b0 || b1 || b2\n#z = #z + 1\nendif\n";
  return text + "}\n";
}

}  // namespace zt::testing
