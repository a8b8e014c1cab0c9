// Finds the program's folder: installed data first, then the source tree's.
#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

namespace zt {
namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

std::string ExecutablePath() {
  std::error_code error;
  const fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace

std::string ChooseProgramFolder(const std::string& executable, const std::string& source_data) {
  const fs::path binary_folder = fs::path(executable).parent_path();
  if (!executable.empty()) {
    const fs::path installed = binary_folder.parent_path() / "share" / "zentrope";
    if (IsFolder(installed)) return WithSlash(installed.lexically_normal().string());
  }
  if (!source_data.empty() && IsFolder(source_data)) return WithSlash(source_data);
  if (!executable.empty()) return WithSlash(binary_folder.string());
  return "./";
}

std::string ProgramFolder() {
  static const std::string folder = ChooseProgramFolder(ExecutablePath(), ZT_SOURCE_DATA_DIR);
  return folder;
}

std::string ResolveFolder(const std::string& setting) {
  if (setting.empty()) return ProgramFolder();
  if (setting.front() == '/') return WithSlash(setting);
  return WithSlash(ProgramFolder() + setting);
}

}  // namespace zt
