// Title and help settings shared by every entry kind, and the compiled code's life.
#include "formula/entries/formula_base.h"

#include <algorithm>
#include <filesystem>

#include "platform/error.h"
#include "platform/text.h"

namespace zt {

const char* const kBrowserMissingMessage =
    "Could not locate HTML browser. \nMake sure the .HTM or .HTML extension is associated "
    "\nwith a web browser, such as Netscape Navigator.";

void TFormulaBase::ShowHelp(const TDocumentOpener& open) const {
  if (help_file_.empty()) return;
  const bool web = help_file_.rfind("http://", 0) == 0 || EndsWithText(help_file_, ".htm") ||
                   EndsWithText(help_file_, ".html");
  if (!web) {
    // Help in another format has no way to jump to a topic from outside; its
    // viewer failing to start is not worth a message.
    open(help_file_);
    return;
  }
  // A local page becomes a file URL, so that the topic can follow as an anchor.
  std::string target = help_file_;
  if (target.rfind("http://", 0) != 0)
    target = "file://" + std::filesystem::absolute(target).string();
  if (!help_topic_.empty()) target += "#" + help_topic_;
  if (!open(target)) throw EZentrope(kBrowserMissingMessage);
}

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
  initial_values_ = InitialValues();
}

std::vector<std::uint8_t> TFormulaBase::InitialValues() {
  Variables().Layout();  // a program without sections has not been laid out
  std::vector<std::uint8_t> values(static_cast<std::size_t>(Variables().DataSize()), 0);
  Variables().StoreConstants(values.data());
  return values;
}

void TFormulaBase::StoreInitialValues(std::uint8_t* block) const {
  std::copy(initial_values_.begin(), initial_values_.end(), block);
}

int TFormulaBase::StringSetting(const std::string& section, const std::string& upper_name,
                                const std::string& value) {
  if (section != "DEFAULT") return ERR_INVALIDSETTING;
  if (upper_name == "TITLE") {
    title_ = value;
  } else if (upper_name == "HELPFILE") {
    std::filesystem::path file(value);
    // A help file beside the entry file is named relative to it.
    if (value.rfind("http://", 0) == 0 || file.is_absolute())
      help_file_ = value;
    else
      help_file_ = (std::filesystem::path(Code().FileName).parent_path() / file).string();
  } else if (upper_name == "HELPTOPIC") {
    help_topic_ = value;
  } else {
    return ERR_INVALIDSETTING;
  }
  return 0;
}

bool TFormulaBase::HoldsEntry(const std::string& file_name, const std::string& entry_name) const {
  namespace fs = std::filesystem;
  return !IsEmpty() &&
         SameText(fs::path(file_name).filename().string(),
                  fs::path(Code().FileName).filename().string()) &&
         SameText(entry_name, Code().EntryName);
}

}  // namespace zt
