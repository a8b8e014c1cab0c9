// Tests of the desktop program's command line parsing.
#include "ui/command_options.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zt {
namespace {

TEST(CommandOptions, ReadsOptionsAndFullFilePaths) {
  const std::string here = std::filesystem::current_path().string();
  const TCommandOptions options =
      ParseCommandOptions({"a.zfr", "--screenshot", "shot.png", "--timing", "--show", "options",
                           "--geometry", "800x600", "/x/../y/b.zpr", "--", "--c.zfr"});
  EXPECT_EQ(options.Error, "");
  EXPECT_FALSE(options.Help);
  EXPECT_EQ(options.Screenshot, here + "/shot.png");
  EXPECT_TRUE(options.Timing);
  EXPECT_EQ(options.Show, "options");
  EXPECT_EQ(options.Width, 800);
  EXPECT_EQ(options.Height, 600);
  EXPECT_EQ(options.Files,
            (std::vector<std::string>{here + "/a.zfr", "/y/b.zpr", here + "/--c.zfr"}));
  EXPECT_TRUE(ParseCommandOptions({"--help"}).Help);
}

TEST(CommandOptions, ReportsUsageErrors) {
  const struct {
    std::vector<std::string> Args;
    const char* Error;
  } cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--screenshot"}, "--screenshot needs a value"},
      {{"--geometry", "800"}, "--geometry needs WIDTHxHEIGHT from 100 to 16384, got '800'"},
      {{"--geometry", "50x600"}, "--geometry needs WIDTHxHEIGHT from 100 to 16384, got '50x600'"},
      {{"--geometry", "8x0x6"}, "--geometry needs WIDTHxHEIGHT from 100 to 16384, got '8x0x6'"},
      {{"--timing"}, "--timing needs --screenshot"},
      {{"--show"}, "--show needs a value"},
      {{"--show", "options"}, "--show needs --screenshot"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCommandOptions(c.Args).Error, c.Error);
}

}  // namespace
}  // namespace zt
