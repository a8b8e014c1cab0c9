// Test helpers shared by the compiler tests: compile an entry of any kind from a
// scratch file and collect its error, its warnings and its typed program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "formula/entries/coloring.h"
#include "formula/entries/entry_kind.h"
#include "formula/entries/formula.h"
#include "formula/entries/transform.h"
#include "testing/test_support.h"

namespace zt::testing {

// What one compilation reported. Positions are those of the message window
// (line and column from 1; the entry header is line 1).
struct TCompileOutcome {
  std::string Error;                  // "E22 2:9 Incompatible types.", or empty
  std::vector<std::string> Warnings;  // "W2 2:5 Variable has not been declared", by position
  std::string Program;                // the typed program, one tree per line; empty on error
};

// Subscribes to `object`'s messages, compiles entry `name` of `file` and collects them.
inline TCompileOutcome CompileEntry(TFormulaBase& object, const std::string& file,
                                    const std::string& name) {
  TCompileOutcome outcome;
  std::vector<std::tuple<int, int, std::string>> warnings;
  object.OnMessage = [&](TLexical&, int code, const std::string& text, int line, int column) {
    warnings.emplace_back(line, column,
                          "W" + std::to_string(code) + " " + std::to_string(line + 1) + ":" +
                              std::to_string(column + 1) + " " + text);
  };
  object.OnCompileError = [&](TLexical&, int code, int line, int column, const std::string& text) {
    outcome.Error = "E" + std::to_string(code) + " " + std::to_string(line + 1) + ":" +
                    std::to_string(column + 1) + " " + text;
  };
  object.SetEntry(file, name);
  object.OnMessage = nullptr;
  object.OnCompileError = nullptr;
  std::stable_sort(warnings.begin(), warnings.end(), [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
  });
  for (auto& w : warnings) outcome.Warnings.push_back(std::get<2>(w));
  if (!object.CompileFailed()) outcome.Program = ProgramToString(object.Expressions(), true);
  return outcome;
}

// Compiles `body` as the entry "Test" of the given kind: "Test {" on line 1, the
// body from line 2, "}" on a line of its own.
inline TCompileOutcome CompileSnippet(TEntryKind kind, const std::string& body,
                                      const TCompileOptions& options = {}) {
  TempDir dir;
  auto file = dir.Write("snippet.zfm", "Test {\n" + body + "}\n");
  auto object = MakeEntryObject(kind, /*inside_coloring=*/true);
  object->SetCompileOptions(options);
  return CompileEntry(*object, file.string(), "Test");
}

// Compiles `body` as the entry "T" of `object` ("T {" on line 0, the body from
// line 1, columns from 0, as the tokenizer counts them) and answers the error as
// "E<code> <line>:<column> <message>", or "" when it compiled. The file's name
// chooses the dialect (".frm" for Fractint's).
inline std::string CompileBody(TLexical& object, const std::string& body,
                               const std::string& file_name = "t.zfm") {
  TempDir dir;
  std::string error;
  object.OnCompileError = [&](TLexical&, int code, int line, int column, const std::string& text) {
    error = "E" + std::to_string(code) + " " + std::to_string(line) + ":" + std::to_string(column) +
            " " + text;
  };
  object.SetEntry(dir.Write(file_name, "T {\n" + body + "\n}\n").string(), "T");
  object.OnCompileError = nullptr;
  EXPECT_EQ(object.CompileFailed(), !error.empty()) << body;
  return error;
}

}  // namespace zt::testing
