// Tests of the memory budget of in-memory renders.
#include "cli/memory_budget.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zt {
namespace {

TEST(MemoryBudget, FiguresAndSources) {
  EXPECT_EQ(InMemoryBytes(1000, 1000, 1), 6000000u);
  EXPECT_EQ(InMemoryBytes(100000, 100000, 3), 100000000000u);
  EXPECT_EQ(BudgetFromMeminfo("MemTotal:  100 kB\nMemFree:  10 kB\nMemAvailable:  4096 kB\n"),
            2048u * 1024);
  EXPECT_EQ(BudgetFromMeminfo("MemTotal: 100 kB\n"), 0u);
  setenv("ZENTROPE_MEMORY_BUDGET", "12", 1);
  EXPECT_EQ(MemoryBudget(), 12u << 20);
  setenv("ZENTROPE_MEMORY_BUDGET", "12x", 1);
  EXPECT_GT(MemoryBudget(), 0u);  // not a number: the system's figure
  unsetenv("ZENTROPE_MEMORY_BUDGET");
}

}  // namespace
}  // namespace zt
