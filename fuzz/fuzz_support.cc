// The fuzz targets' process setup and their scratch files.
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "document/settings/config_manager.h"
#include "platform/thread.h"
#include "platform/user_interface.h"

namespace zt::fuzz {
namespace {

class TSilentUserInterface : public TUserInterface {
 public:
  void ShowMessage(const std::string&, const std::string&, TMessageKind) override {}
  TAnswer Ask(const std::string&, const std::string&, TButtons, TAnswer default_answer) override {
    return default_answer;
  }
};

// Removes the scratch folder when the fuzzer exits normally.
struct TScratch {
  TScratch() {
    path = std::filesystem::temp_directory_path() / ("zt-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path / "settings");
  }
  ~TScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

}  // namespace

const std::filesystem::path& Setup() {
  static TScratch scratch;
  static TSilentUserInterface ui;
  static const bool done = [] {
    setenv("ZENTROPE_CONFIG_DIR", (scratch.path / "settings").c_str(), 1);
    MainThreadDispatcher().MakeCurrentThreadMain();
    SetUserInterface(&ui);
    const std::string data = ZT_SOURCE_DIR "/data/";
    TConfigManager& config = ConfigManager();
    config.FormulaDirectory = config.ColoringDirectory = config.TransformationDirectory = data;
    config.GradientDirectory = config.ParameterDirectory = data;
    // Documents that calculate after a load stay small.
    config.DefaultImageWidth = 40;
    config.DefaultImageHeight = 30;
    return true;
  }();
  (void)done;
  return scratch.path;
}

std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path path = Setup() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  // A target that read a stale or partial file would report nonsense: stop instead.
  if (!out) {
    std::fprintf(stderr, "Could not write the fuzz input '%s'\n", path.c_str());
    std::abort();
  }
  return path.string();
}

}  // namespace zt::fuzz
