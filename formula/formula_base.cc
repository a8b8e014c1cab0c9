// Title and help settings shared by every entry kind, and the compiled code's life.
#include "formula/formula_base.h"

#include <algorithm>
#include <filesystem>

namespace zt {

void TFormulaBase::BeginCompile() {
  TCompiler::BeginCompile();
  title_ = Code().EntryName;
  help_file_.clear();
  help_topic_.clear();
}

void TFormulaBase::Clear() {
  TCompiler::Clear();
  DiscardCode();
  initial_values_.clear();
  title_ = "(None)";
  help_file_.clear();
  help_topic_.clear();
}

void TFormulaBase::Optimize() {
  // Old code must not outlive the program it was made from, nor survive a failure.
  DiscardCode();
  initial_values_.clear();
  try {
    TCompiler::Optimize();
    AssembleCode();
  } catch (...) {
    DiscardCode();
    throw;
  }
  Variables().Layout();  // a program without sections has not been laid out
  initial_values_.assign(static_cast<std::size_t>(Variables().DataSize()), 0);
  Variables().StoreConstants(initial_values_.data());
}

void TFormulaBase::StoreInitialValues(std::uint8_t* block) const {
  std::copy(initial_values_.begin(), initial_values_.end(), block);
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
