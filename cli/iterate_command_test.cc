// Tests of `zt iterate`: the printed orbit of one point, parameter and function
// settings, and the exit status of usage, file and compile errors.
#include "cli/iterate_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/command_test_util.h"
#include "formula/testing/compile_test_util.h"

namespace zt::testing {
namespace {

TRun RunIterate(std::vector<std::string> args) {
  return RunCommand(RunIterateCommand, std::move(args));
}

constexpr const char* kEntries =
    "Quad {\nz = 0:\nz = z*z + #pixel, |z| < 4\ndefault:\nmaxiter = 20\n}\n"
    "Seeded {\nz = #pixel:\nz = @fn(z) + @seed, |z| < 4\ndefault:\n"
    "func fn\ndefault = sqr()\nendfunc\n}\n"
    "Broken {\nz = #lastsqr\n}\n";

TEST(IterateCommandTest, PrintsTheTracedOrbitThenTheFinalValues) {
  TempDir dir;
  std::string file = dir.Write("set.zfm", kEntries).string();
  TRun run = RunIterate({file, "Quad", "--pixel", "1,0", "--trace", "5"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  // 0 -> 1 -> 2: |z| is the squared modulus, so 2 fails |z| < 4 and the orbit
  // ends after its second loop body with one iteration counted.
  EXPECT_EQ(run.Out,
            "iteration 1: #z = (1, 0)\n"
            "iteration 2: #z = (2, 0)\n"
            "#z = (2, 0)\n"
            "#numiter = 1\n");
  run = RunIterate({file, "Quad", "--pixel", "-0.5,0.25"});
  EXPECT_NE(run.Out.find("#numiter = 20 (inside)"), std::string::npos) << run.Out;
}

TEST(IterateCommandTest, SetsParametersAndFunctions) {
  TempDir dir;
  std::string file = dir.Write("set.zfm", kEntries).string();
  TRun run = RunIterate(
      {file, "Seeded", "--pixel", "0,0", "--set", "seed=1", "--maxiter", "3", "--trace", "1"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out.substr(0, run.Out.find('\n')), "iteration 1: #z = (1, 0)");
  run = RunIterate({file, "Seeded", "--pixel", "0.5,0", "--set", "fn=ident", "--set", "seed=0",
                    "--maxiter", "7"});
  EXPECT_EQ(run.Out, "#z = (0.5, 0)\n#numiter = 7 (inside)\n");
}

TEST(IterateCommandTest, ReportsUsageFileAndCompileErrors) {
  TempDir dir;
  std::string file = dir.Write("set.zfm", kEntries).string();
  EXPECT_EQ(RunIterate({file, "Quad"}).Status, 2);  // no --pixel
  EXPECT_EQ(RunIterate({file, "Quad", "--pixel", "x"}).Status, 2);
  EXPECT_EQ(RunIterate({file, "Quad", "--pixel", "0,0", "--maxiter", "0"}).Status, 2);
  TRun run = RunIterate({file, "Quad", "--pixel", "0,0", "--set", "nothing=1"});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "zt iterate: the entry has no parameter or function 'nothing'\n");
  run = RunIterate({file, "Absent", "--pixel", "0,0"});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Could not find the entry 'Absent' in '" + file + "'\n");
  run = RunIterate({file, "Broken", "--pixel", "0,0"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find("Predefined symbol is not readable."), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Unable to compile 'Broken'"), std::string::npos) << run.Out;
}

}  // namespace
}  // namespace zt::testing
