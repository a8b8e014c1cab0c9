// Fuzz target: a parameter entry into a document, through the program's own
// loader or, for an entry of Fractint's keys, the Fractint import. The document
// calculates after the load (small, by the default size); its destruction stops it.
#include <cstdint>

#include "document/fractal.h"
#include "document/params/par_reader.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  fuzz::Setup();
  TParReader r;
  r.Quiet = true;
  r.LoadFromBuffer(reinterpret_cast<const char*>(data), size);
  if (!r.Found) return 0;
  TFractal fractal("Fuzz");
  try {
    fractal.LoadFromParameters(r, /*ignore_size=*/false);
  } catch (const EZentrope&) {
  }
  return 0;
}
