// Title and help settings shared by every entry kind.
#include "formula/formula_base.h"

#include <filesystem>

namespace zt {

void TFormulaBase::BeginCompile() {
  TOptimizer::BeginCompile();
  title_ = Code().EntryName;
  help_file_.clear();
  help_topic_.clear();
}

void TFormulaBase::Clear() {
  TOptimizer::Clear();
  title_ = "(None)";
  help_file_.clear();
  help_topic_.clear();
}

int TFormulaBase::StringSetting(const std::string& section, const std::string& upperName,
                                const std::string& value) {
  if (section != "DEFAULT") return ERR_INVALIDSETTING;
  if (upperName == "TITLE") {
    title_ = value;
  } else if (upperName == "HELPFILE") {
    std::filesystem::path file(value);
    // A help file beside the entry file is named relative to it.
    if (value.rfind("http://", 0) == 0 || file.is_absolute())
      help_file_ = value;
    else
      help_file_ = (std::filesystem::path(Code().FileName).parent_path() / file).string();
  } else if (upperName == "HELPTOPIC") {
    help_topic_ = value;
  } else {
    return ERR_INVALIDSETTING;
  }
  return 0;
}

}  // namespace zt
