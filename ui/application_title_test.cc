// Tests of the task bar title.
#include "ui/application_title.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(ApplicationTitle, ShowsProgressOnlyWhileMinimisedOverACalculation) {
  using enum TActiveWindowKind;
  const struct {
    bool Minimised;
    TActiveWindowKind Active;
    const char* Progress;
    const char* Title;
  } kCases[] = {
      {true, kFractal, "42%", "[42%] Zentrope"},
      {true, kDiskRender, "Strip 3 of 8", "[Strip 3 of 8] Zentrope"},
      {true, kFractal, "100%", "Zentrope"},
      {true, kOther, "42%", "Zentrope"},
      {false, kFractal, "42%", "Zentrope"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ApplicationTitle(c.Minimised, c.Active, c.Progress), c.Title) << c.Progress;
}

}  // namespace
}  // namespace zt
