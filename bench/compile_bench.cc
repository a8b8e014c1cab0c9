// Compile throughput: every formula of the third-party Fractint collection and of
// the shipped collections compiled to machine code (tokenizer, parser, checker,
// optimizer, code generator), in entries per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "formula/entries/formula.h"
#include "platform/text.h"

namespace {

struct TEntryRef {
  std::string File;
  int Line;
  int Column;
};

// Every entry header of the formula files below `folder`.
std::vector<TEntryRef> CollectEntries(const std::filesystem::path& folder) {
  std::vector<TEntryRef> entries;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return entries;
  std::vector<std::filesystem::path> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder, ec))
    if (item.is_regular_file() && (zt::EndsWithText(item.path().string(), ".frm") ||
                                   zt::EndsWithText(item.path().string(), ".zfm")))
      files.push_back(item.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    zt::TCode code;
    try {
      code.LoadFile(file.string());
    } catch (const zt::EZentrope&) {
      continue;
    }
    for (; code.Found; code.FindNextEntry())
      entries.push_back({file.string(), code.HeaderLine, code.HeaderColumn});
  }
  return entries;
}

void CompileAll(benchmark::State& state, const std::filesystem::path& folder) {
  const std::vector<TEntryRef> entries = CollectEntries(folder);
  if (entries.empty()) {
    state.SkipWithError("no formula files found");
    return;
  }
  int compiled = 0;
  for (auto _ : state) {
    // One compiler object per file, as `zt compile` does, so each file is read once.
    zt::TFormula formula;
    compiled = 0;
    for (const auto& entry : entries) {
      formula.SetEntryAt(entry.File, entry.Line, entry.Column);
      if (!formula.CompileFailed()) ++compiled;
    }
    benchmark::DoNotOptimize(compiled);
  }
  state.counters["entries"] = static_cast<double>(entries.size());
  state.counters["compiled"] = compiled;
  state.counters["entries_per_second"] = benchmark::Counter(
      static_cast<double>(entries.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_OrgformCollection(benchmark::State& state) {
  CompileAll(state, std::filesystem::path(ZT_FRACTINT_DIR) / "frm" / "orgform");
}
BENCHMARK(BM_OrgformCollection)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ShippedFormulas(benchmark::State& state) {
  CompileAll(state, std::filesystem::path(ZT_SOURCE_DIR) / "data");
}
BENCHMARK(BM_ShippedFormulas)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
