// Fuzz target: the settings file reader. The input is a settings.ini in a
// folder of its own; every group is read into a settings object.
#include <cstdint>
#include <filesystem>

#include "document/settings/config_manager.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  const std::filesystem::path folder = fuzz::Setup() / "store";
  std::filesystem::create_directories(folder);
  std::filesystem::rename(fuzz::WriteInput("settings.ini", data, size), folder / "settings.ini");
  try {
    TConfigManager config(folder);
    config.LoadAll();
    config.Describe();
    config.CompileOptions();
    config.AnimationOptions();
  } catch (const EZentrope&) {
  }
  return 0;
}
