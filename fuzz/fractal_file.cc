// Fuzz target: the fractal file (.zfr) reader, into a document and for its
// parameter text alone. The document continues any calculation it finds; its
// destruction stops it.
#include <cstdint>

#include "document/fractal.h"
#include "document/fractal_file.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  const std::string path = fuzz::WriteInput("input.zfr", data, size);
  try {
    ReadFractalFileText(path);
  } catch (const EZentrope&) {
  }
  TFractal fractal("Fuzz");
  try {
    TFractalReader reader(fractal, path);
    reader.Execute();
  } catch (const EZentrope&) {
  }
  return 0;
}
