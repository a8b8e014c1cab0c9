// Tests of the coloring classes of lines of a collection file.
#include "ui/formula_syntax.h"

#include <gtest/gtest.h>

#include <string>

namespace zt {
namespace {

// "class(text)" for each span, blank-separated.
std::string Dump(const std::string& line) {
  static const char* const kNames[] = {"kw",   "fn",  "label", "param", "sym",
                                       "name", "rem", "str",   "num"};
  std::string dump;
  for (const TSyntaxSpan& span : ClassifyLine(line)) {
    if (!dump.empty()) dump += ' ';
    dump += std::string(kNames[static_cast<int>(span.Class)]) + "(" +
            line.substr(span.Start, span.Length) + ")";
  }
  return dump;
}

TEST(FormulaSyntaxTest, ClassesOfSampleLines) {
  const struct {
    const char* Line;
    const char* Dump;
  } rows[] = {
      {"Mandel {", "name(Mandel)"},
      {"Julia(XAXIS) { ; the set", "name(Julia) rem(; the set)"},
      {"  loop:", "label(loop:)"},
      {":", "label(:)"},
      {"  z = sqr(z) + @seed * #pixel", "fn(sqr) param(@seed) sym(#pixel)"},
      {"  if |z| > 4 && pi < 1.5e-3i", "kw(if) num(4) sym(pi) num(1.5e-3i)"},
      {"  caption = \"Bail; out\" ; why", "str(\"Bail; out\") rem(; why)"},
      {"  title = \"unterminated", "str(\"unterminated)"},
      {"  x = (1, -2.5) + p1 + fn1(z) + sqr", "num(1) num(2.5) param(p1) fn(fn1)"},
      {"  z = a: b", ""},
      {"  float t = .5, endwhile", "kw(float) num(.5) kw(endwhile)"},
  };
  for (const auto& row : rows) EXPECT_EQ(Dump(row.Line), row.Dump) << row.Line;
}

}  // namespace
}  // namespace zt
