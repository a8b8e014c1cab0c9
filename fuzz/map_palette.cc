// Fuzz target: the MAP palette reader, into a gradient.
#include <cstdint>

#include "color/gradient.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  const std::string path = zt::fuzz::WriteInput("input.map", data, size);
  TGradient gradient;
  try {
    gradient.ImportMAP(path);
  } catch (const EZentrope&) {
  }
  return 0;
}
