// Compiles whole entry collections: every entry of the Fractint formula files
// (no exception may escape, and no fewer entries may compile than before), and
// every entry of the shipped collections (no error, no warning). Each section is
// emitted exactly as measured: the emitter refuses to write past the measured
// size and a shorter emission fails the compilation, so both show here.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formula/testing/compile_test_util.h"

namespace zt::testing {
namespace {

struct TTally {
  int Entries = 0;
  int Compiled = 0;
  int Warned = 0;
};

// Compiles every entry of `file` with `object`, by position so that entries
// sharing a name all count.
TTally CompileAll(TFormulaBase& object, const std::filesystem::path& file) {
  TTally tally;
  TCode& code = object.Code();
  code.LoadFile(file.string());
  struct TPlace {
    int Line, Column;
  };
  std::vector<TPlace> places;
  for (; code.Found; code.FindNextEntry()) places.push_back({code.HeaderLine, code.HeaderColumn});
  for (const auto& place : places) {
    ++tally.Entries;
    object.SetEntryAt(file.string(), place.Line, place.Column);
    if (!object.CompileFailed()) ++tally.Compiled;
    if (object.WarningsIssued()) ++tally.Warned;
  }
  return tally;
}

TEST(FractintCorpusTest, FormulaFilesCompileWithoutEscapingExceptions) {
  if (FractintDir().empty()) GTEST_SKIP() << "no Fractint files";
  TTally total;
  for (const auto& item : std::filesystem::directory_iterator(FractintDir() / "frm")) {
    if (!item.is_regular_file()) continue;
    TFormula formula;
    TTally tally;
    EXPECT_NO_THROW(tally = CompileAll(formula, item.path())) << item.path();
    total.Entries += tally.Entries;
    total.Compiled += tally.Compiled;
  }
  // Measured; the rest read predefined symbols where the language does not allow
  // it, use syntax of their own or are comment blocks.
  EXPECT_GE(total.Entries, 792);
  EXPECT_GE(total.Compiled, 759);
}

TEST(FractintCorpusTest, ShippedCollectionsCompileCleanly) {
  struct {
    const char* File;
    TEntryKind Kind;
  } collections[] = {
      {"Standard.zfm", TEntryKind::kFormula},        {"Standard.zcl", TEntryKind::kColoring},
      {"Standard.zxf", TEntryKind::kTransformation}, {"Fractint.zfm", TEntryKind::kFormula},
      {"Fractint.zcl", TEntryKind::kColoring},       {"Fractint.zxf", TEntryKind::kTransformation}};
  for (const auto& collection : collections) {
    auto object = MakeEntryObject(collection.Kind, /*inside_coloring=*/true);
    object->SetCompileOptions({.StrictTypeChecking = true});
    TTally tally = CompileAll(*object, SourceDir() / "data" / collection.File);
    EXPECT_GT(tally.Entries, 0) << collection.File;
    EXPECT_EQ(tally.Compiled, tally.Entries) << collection.File;
    EXPECT_EQ(tally.Warned, 0) << collection.File;
  }
}

}  // namespace
}  // namespace zt::testing
