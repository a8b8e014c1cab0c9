// The search of the formula folder for a Fractint formula.
#include "document/fractint/fractint_formula_file.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "formula/language/code.h"
#include "platform/text.h"

namespace zt {

namespace {

namespace fs = std::filesystem;

bool HoldsEntry(const fs::path& file, const std::string& entry) {
  try {
    TCode code;
    code.LoadFile(file.string());
    return code.FindEntry(entry);
  } catch (const ECodeError&) {
    return false;
  }
}

std::string Search(const fs::path& folder, const std::string& entry) {
  std::vector<fs::path> files, folders;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    const bool link = it->is_symlink(kind_error);
    if (it->is_directory(kind_error)) {
      if (!link) folders.push_back(it->path());
    } else if (EndsWithText(it->path().filename().string(), ".frm")) {
      files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const fs::path& file : files)
    if (HoldsEntry(file, entry)) return file.string();
  for (const fs::path& sub : folders) {
    std::string found = Search(sub, entry);
    if (!found.empty()) return found;
  }
  return {};
}

}  // namespace

std::string FindFractintFormula(const std::string& folder, const std::string& entry) {
  return Search(fs::path(folder), entry);
}

}  // namespace zt
