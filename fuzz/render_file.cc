// Fuzz target: the disk render file (.zdr) reader, single and batch: opening a
// file for a resume reads and checks its heads, sizes, parameter text and
// calculation states. The job is dropped without rendering.
#include <cstdint>

#include "document/disk/render_job.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  const std::string path = fuzz::WriteInput("input.zdr", data, size);
  try {
    OpenRenderFile(path, TRenderOptions{});
  } catch (const EZentrope&) {
  }
  return 0;
}
