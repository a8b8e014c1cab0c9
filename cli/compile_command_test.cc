// Tests of `zt compile`: the printed messages of each entry, the exit status and
// the usage and file errors.
#include "cli/compile_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/command_test_util.h"
#include "formula/testing/compile_test_util.h"

namespace zt::testing {
namespace {

TRun RunCompile(std::vector<std::string> args) {
  return RunCommand(RunCompileCommand, std::move(args));
}

constexpr const char* kEntries =
    "Good {\nz = #pixel\n}\n"
    "Bad {\nz = #pixel\nz + 1\nx + 1\nz = #lastsqr\n}\n";

TEST(CompileCommandTest, PrintsWarningsInOrderThenTheErrorAndTheResult) {
  TempDir dir;
  std::string file = dir.Write("set.zfm", kEntries).string();
  TRun run = RunCompile({file});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Out, "Successfully compiled 'Good' in '" + file +
                         "'.\n"
                         "Warning: " +
                         file +
                         " (6:3): Result of expression is ignored.\n"
                         "Warning: " +
                         file +
                         " (7:1): Variable has not been declared.\n"
                         "Warning: " +
                         file +
                         " (7:3): Result of expression is ignored.\n"
                         "Error: " +
                         file +
                         " (8:5): Predefined symbol is not readable.\n"
                         "Unable to compile 'Bad' in '" +
                         file + "'.\n");

  run = RunCompile({file, "good"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "Successfully compiled 'Good' in '" + file + "'.\n");
}

TEST(CompileCommandTest, KindComesFromTheExtensionOrTheOption) {
  TempDir dir;
  std::string body = "T {\nfinal:\n#index = 1.0\n}\n";
  std::string coloring = dir.Write("c.zcl", body).string();
  EXPECT_EQ(RunCompile({coloring}).Status, 0);
  // As a formula, FINAL is no label.
  EXPECT_EQ(RunCompile({"--kind=formula", coloring}).Status, 1);
  std::string text = dir.Write("c.txt", body).string();
  EXPECT_EQ(RunCompile({"--kind=coloring", text}).Status, 0);

  TRun run = RunCompile({text});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "zt compile: cannot tell the kind of '" + text +
                         "' from its extension; use --kind=formula|coloring|transformation\n");
  run = RunCompile({"--kind=shape", coloring});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "zt compile: unknown kind 'shape'\n");
}

TEST(CompileCommandTest, UsageAndFileErrors) {
  TempDir dir;
  std::string missing = (dir.path() / "none.zfm").string();
  TRun run = RunCompile({missing});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "Could not open '" + missing + "'\n");

  std::string file = dir.Write("set.zfm", kEntries).string();
  run = RunCompile({file, "Absent"});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Could not find the entry 'Absent' in '" + file + "'\n");

  run = RunCompile({"--help"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out.rfind("Usage: zt compile [OPTIONS] FILE [ENTRY ...]\n", 0), 0u);
  EXPECT_EQ(RunCompile({}).Status, 2);
  EXPECT_EQ(RunCompile({"--fast", file}).Status, 2);
}

}  // namespace
}  // namespace zt::testing
