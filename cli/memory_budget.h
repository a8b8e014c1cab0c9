// How much memory an in-memory render may take before the command line renders
// strip by strip instead.
#pragma once

#include <cstdint>
#include <string>

namespace zt {

// What an in-memory render of a width x height image with `layers` layers
// holds: 2 bytes a pixel for each layer's pixel store and 4 for the merged
// bitmap.
std::uint64_t InMemoryBytes(int width, int height, int layers);

// The budget in bytes: the environment variable ZENTROPE_MEMORY_BUDGET (in MB)
// when it holds a number, else half the memory the system has available.
std::uint64_t MemoryBudget();

// Half the "MemAvailable" figure of a /proc/meminfo text, in bytes; 0 when it
// holds none.
std::uint64_t BudgetFromMeminfo(const std::string& meminfo);

}  // namespace zt
