// Tests of the command-line word rule and of turning words into full paths.
#include "ui/command_line_words.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(CommandLineWords, SplitsAtBlanksOutsideQuotes) {
  const struct {
    const char* Line;
    QStringList Words;
  } kCases[] = {
      {"", {}},
      {"  \t ", {}},
      {"zentrope a.zpr b.zfr", {"zentrope", "a.zpr", "b.zfr"}},
      {"zentrope my sets.zpr", {"zentrope", "my", "sets.zpr"}},
      {"zentrope \"/home/ann/my sets.zpr\" b.zfr", {"zentrope", "/home/ann/my sets.zpr", "b.zfr"}},
      {"   zentrope \t  a.zpr  ", {"zentrope", "a.zpr"}},
      {"\"a b\"c", {"a b", "c"}},
      {"a\"b c\"", {"a\"b", "c\""}},
      {"zentrope \"", {"zentrope", ""}},
      {"zentrope \"open end", {"zentrope", "open end"}},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(SplitCommandLine(QString::fromUtf8(c.Line)), c.Words) << c.Line;
}

TEST(CommandLineWords, FileNamesSkipTheProgramAndBecomeFullPaths) {
  EXPECT_EQ(FileNamesOfCommandLine({"/usr/bin/zentrope", "a.zpr", "../b/./c.zfr", "/x//y.zgr"},
                                   "/home/ann/sets"),
            QStringList({"/home/ann/sets/a.zpr", "/home/ann/b/c.zfr", "/x/y.zgr"}));
  EXPECT_EQ(FileNamesOfCommandLine({"/usr/bin/zentrope"}, "/home/ann"), QStringList());
}

}  // namespace
}  // namespace zt
