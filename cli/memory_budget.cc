// The memory budget of in-memory renders (see memory_budget.h).
#include "cli/memory_budget.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zt {

namespace {
constexpr std::uint64_t kMegabyte = 1 << 20;
constexpr std::uint64_t kKilobyte = 1 << 10;
}  // namespace

std::uint64_t InMemoryBytes(int width, int height, int layers) {
  return std::uint64_t(width) * std::uint64_t(height) * (2 * std::uint64_t(layers) + 4);
}

std::uint64_t BudgetFromMeminfo(const std::string& meminfo) {
  std::istringstream lines(meminfo);
  std::string key;
  std::uint64_t kilobytes = 0;
  while (lines >> key >> kilobytes) {
    if (key == "MemAvailable:") return kilobytes * kKilobyte / 2;
    lines.ignore(1 << 10, '\n');
  }
  return 0;
}

std::uint64_t MemoryBudget() {
  if (const char* value = std::getenv("ZENTROPE_MEMORY_BUDGET")) {
    char* end = nullptr;
    const unsigned long long megabytes = std::strtoull(value, &end, 10);
    if (end != value && *end == '\0') return megabytes * kMegabyte;
  }
  std::ifstream file("/proc/meminfo");
  std::stringstream text;
  text << file.rdbuf();
  if (const std::uint64_t budget = BudgetFromMeminfo(text.str())) return budget;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  return pages > 0 && page_size > 0 ? std::uint64_t(pages) * std::uint64_t(page_size) / 2 : 0;
}

}  // namespace zt
