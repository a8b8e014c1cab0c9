// The iterate command: the formula writer's debugger for one point.
#include "cli/iterate_command.h"

#include <complex>
#include <ostream>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/entries/coloring.h"
#include "formula/entries/compile_messages.h"
#include "formula/entries/formula.h"
#include "formula/language/param.h"
#include "platform/number_format.h"
#include "platform/text.h"

namespace zt {
namespace {

constexpr const char* kHelp =
    "Usage: zt iterate FILE ENTRY --pixel RE,IM [OPTIONS]\n"
    "\n"
    "Compiles the formula ENTRY of FILE, iterates it for the point RE + IM i and\n"
    "prints the final #z and #numiter.\n"
    "\n"
    "Options:\n"
    "  --pixel RE,IM       the point (#pixel)\n"
    "  --maxiter N         maximum iterations (default: the entry's MAXITER)\n"
    "  --trace N           also print #z after each of the first N iterations\n"
    "  --set NAME=VALUE    a parameter value (RE or RE,IM; true/false) or a function\n"
    "                      (a function name such as sin); may be repeated\n"
    "  --help              show this text\n"
    "\n"
    "Exit status: 0 done, 1 the entry did not compile, 2 usage or file errors.\n";

// "re,im" or "re" into a complex value.
bool ParseComplex(const std::string& text, std::complex<long double>& value) {
  long double re = 0, im = 0;
  auto comma = text.find(',');
  if (!ParseNumber(text.substr(0, comma), re)) return false;
  if (comma != std::string::npos && !ParseNumber(text.substr(comma + 1), im)) return false;
  value = {re, im};
  return true;
}

std::string ComplexText(std::complex<long double> z) {
  return "(" + FormatNumber(z.real()) + ", " + FormatNumber(z.imag()) + ")";
}

// Applies "name=value" to the formula's parameters or functions; false when the
// name or value is unknown.
bool ApplySetting(TFormula& formula, const std::string& setting, std::string& problem) {
  auto equals = setting.find('=');
  if (equals == std::string::npos) {
    problem = "expected NAME=VALUE, got '" + setting + "'";
    return false;
  }
  std::string name = setting.substr(0, equals), value = setting.substr(equals + 1);
  int f = formula.Funcs().IndexOfName(name);
  if (f >= 0) {
    auto code = FunctionCodeFromStorageName(LowerCase(value));
    if (!code) {
      problem = "unknown function '" + value + "'";
      return false;
    }
    formula.Funcs().Items(f).SetFuncCode(*code);
    return true;
  }
  int p = formula.Params().IndexOfName(name);
  if (p < 0) {
    problem = "the entry has no parameter or function '" + name + "'";
    return false;
  }
  TParam& param = formula.Params().Items(p);
  TParamValue v = param.GetValue();
  std::complex<long double> number;
  if (param.ParamType() == kTypeBool && (SameText(value, "true") || SameText(value, "false"))) {
    v.Value.Re = SameText(value, "true") ? 1 : 0;
  } else if (ParseComplex(value, number)) {
    v.Value.Re = number.real();
    v.Value.Im = param.ParamType() == kTypeComplex ? number.imag() : 0;
  } else {
    problem = "cannot read the value '" + value + "'";
    return false;
  }
  param.SetValue(v);
  return true;
}

// One run of the formula for `pixel` with `maxiter` iterations.
struct TRunResult {
  std::complex<long double> Z;
  int NumIter;
};

TRunResult Run(TFormula& formula, TColoring& inside, TColoring& outside,
               std::complex<long double> pixel, int maxiter) {
  TCalcBlock block;
  inside.FillCalcBlock(block);
  outside.FillCalcBlock(block);
  formula.FillCalcBlock(block);
  block.SetInt32(calc::kMaxIter, maxiter);
  block.SetUInt32(calc::kPeriodicityStart, 0);  // no periodicity checking
  block.SetComplex(calc::kPixel, pixel);
  CallProcedure(formula.Procedure(), block.Data());
  return {block.Complex(calc::kZ), block.Int32(calc::kNumIter)};
}

}  // namespace

int RunIterateCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> positional, settings;
  std::string pixel_text;
  int maxiter = 0, trace = 0;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* option) -> std::string {
      if (i + 1 >= argc) {
        err << "zt iterate: " << option << " needs a value\n";
        return "";
      }
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    } else if (arg == "--pixel") {
      pixel_text = value("--pixel");
    } else if (arg == "--maxiter" || arg == "--trace") {
      long double n = 0;
      std::string text = value(arg.c_str());
      if (!ParseNumber(text, n) || n < (arg == "--trace" ? 0 : 1) || n > 2147483647 ||
          n != static_cast<long double>(static_cast<long long>(n))) {
        err << "zt iterate: " << arg << " needs a whole number, got '" << text << "'\n";
        return 2;
      }
      (arg == "--trace" ? trace : maxiter) = static_cast<int>(n);
    } else if (arg == "--set") {
      settings.push_back(value("--set"));
    } else if (arg.rfind("--", 0) == 0) {
      err << "zt iterate: unknown option '" << arg << "'\n" << kHelp;
      return 2;
    } else {
      positional.push_back(arg);
    }
  }
  std::complex<long double> pixel;
  if (positional.size() != 2 || pixel_text.empty()) {
    err << kHelp;
    return 2;
  }
  if (!ParseComplex(pixel_text, pixel)) {
    err << "zt iterate: cannot read the point '" << pixel_text << "'\n";
    return 2;
  }
  const std::string& file = positional[0];
  TFormula formula;
  TColoring inside(true), outside(false);
  TMessageCollector messages(formula, file);
  try {
    formula.SetEntry(file, positional[1]);
  } catch (const EZentrope& e) {
    err << e.what() << '\n';
    return 2;
  }
  if (formula.CompileFailed()) {
    messages.Print(out, false, positional[1]);
    return 1;
  }
  for (const auto& setting : settings) {
    std::string problem;
    if (!ApplySetting(formula, setting, problem)) {
      err << "zt iterate: " << problem << '\n';
      return 2;
    }
  }
  if (formula.CompileFailed()) {
    messages.Print(out, false, positional[1]);
    return 1;
  }
  if (maxiter == 0) maxiter = formula.MaxIterations();
  for (int n = 1; n <= trace && n <= maxiter; ++n) {
    TRunResult r = Run(formula, inside, outside, pixel, n);
    out << "iteration " << n << ": #z = " << ComplexText(r.Z) << '\n';
    if (r.NumIter < n) break;  // the orbit escaped here
  }
  TRunResult result = Run(formula, inside, outside, pixel, maxiter);
  out << "#z = " << ComplexText(result.Z) << '\n';
  out << "#numiter = " << result.NumIter << (result.NumIter == maxiter ? " (inside)" : "") << '\n';
  return 0;
}

}  // namespace zt
