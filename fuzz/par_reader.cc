// Fuzz target: the parameter text reader. Reads every entry of the input key by
// key and converts each value in every way the loaders ask for.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/params/par_reader.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  fuzz::Setup();
  TParReader r;
  r.Quiet = true;
  r.LoadFromBuffer(reinterpret_cast<const char*>(data), size);
  // Within an entry every call consumes text or ends a section: more calls than
  // that is a loop. (The search for the next entry may look inside this one.)
  const std::size_t limit = 2 * size + 16;
  for (; r.Found; r.FindNextEntry()) {
    std::string key;
    std::size_t calls = 0;
    while (r.ReadKey(key) || !r.SectionName().empty()) {
      if (++calls > limit) std::abort();
      if (key.empty()) continue;
      const auto convert = [](auto&& read) {
        try {
          read();
        } catch (const EZentrope&) {
        }
      };
      convert([&] { r.ValueInteger(); });
      convert([&] { r.ValueFloat(); });
      convert([&] { r.ValueComplex(); });
      convert([&] { r.ValueBoolean(); });
      convert([&] { r.ValueWord(); });
    }
  }
  return 0;
}
