// Tests of printf-style message formatting.
#include "platform/format.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(Format, FillsMessageTemplates) {
  EXPECT_EQ(Format("Could not open '%s'", "a b.zpr"), "Could not open 'a b.zpr'");
  EXPECT_EQ(Format("Invalid file format (line %d)", -3), "Invalid file format (line -3)");
  EXPECT_EQ(Format("%s", ""), "");
  std::string long_text(5000, 'q');
  EXPECT_EQ(Format("<%s>", long_text.c_str()), "<" + long_text + ">");
}

}  // namespace
}  // namespace zt
