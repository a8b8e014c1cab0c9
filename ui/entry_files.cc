// Collection files of a kind: folders, listings, texts and the first choice.
#include "ui/entry_files.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "document/settings/config_manager.h"
#include "formula/language/code.h"
#include "platform/program_folder.h"
#include "platform/text.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

const TEntryKindInfo kKinds[] = {
    {"parameter set", "Parameter files (*.ZPR; *.PAR)|*.ZPR;*.PAR|All files (*.*)|*.*", "FRACTAL"},
    {"gradient", "Gradient files (*.ZGR)|*.ZGR|All files (*.*)|*.*", "GRADIENT"},
    {"alpha channel", "Alpha channel files (*.ZAL)|*.ZAL|All files (*.*)|*.*", "ALPHA"},
    {"formula", "Formula files (*.ZFM; *.FRM)|*.ZFM;*.FRM|All files (*.*)|*.*", "DEFAULT"},
    {"coloring", "Coloring files (*.ZCL)|*.ZCL|All files (*.*)|*.*", "DEFAULT"},
    {"transformation", "Transformation files (*.ZXF)|*.ZXF|All files (*.*)|*.*", "DEFAULT"},
};

constexpr int kTreeDepth = 8;

bool ByName(const TFolderNode& a, const TFolderNode& b) {
  if (a.Folder != b.Folder) return a.Folder;
  return CompareText(a.Name, b.Name) < 0;
}

void FillFolder(TEntryBrowseKind kind, TFolderNode& node, int depth) {
  std::error_code error;
  for (const auto& item : fs::directory_iterator(node.Path, error)) {
    TFolderNode child{item.path().filename().string(), item.path().string(), false, {}};
    if (item.is_directory(error)) {
      if (depth >= kTreeDepth) continue;
      child.Folder = true;
      FillFolder(kind, child, depth + 1);
      if (child.Children.empty()) continue;
    } else if (!IsFileOfKind(kind, child.Name) || !item.is_regular_file(error)) {
      continue;
    }
    node.Children.push_back(std::move(child));
  }
  std::sort(node.Children.begin(), node.Children.end(), ByName);
}

std::unique_ptr<TCode> OpenCode(TEntryBrowseKind kind, const std::string& file) {
  auto code = std::make_unique<TCode>();
  code->ReadTitles = true;
  code->TitleSection = EntryKindInfo(kind).TitleSection;
  code->LoadFile(file);
  return code;
}

}  // namespace

const TEntryKindInfo& EntryKindInfo(TEntryBrowseKind kind) {
  return kKinds[static_cast<int>(kind)];
}

std::string EntryKindFolder(TEntryBrowseKind kind) {
  const TConfigManager& config = ConfigManager();
  switch (kind) {
    case TEntryBrowseKind::kParameters: return ResolveFolder(config.ParameterDirectory);
    case TEntryBrowseKind::kGradient: return ResolveFolder(config.GradientDirectory);
    case TEntryBrowseKind::kAlphaChannel: return ResolveFolder(config.AlphaChannelDirectory);
    case TEntryBrowseKind::kFormula: return ResolveFolder(config.FormulaDirectory);
    case TEntryBrowseKind::kColoring: return ResolveFolder(config.ColoringDirectory);
    case TEntryBrowseKind::kTransformation: break;
  }
  return ResolveFolder(config.TransformationDirectory);
}

bool IsFileOfKind(TEntryBrowseKind kind, const std::string& file) {
  // The extensions of the kind's first filter: "*.ZPR;*.PAR".
  const std::string filter = EntryKindInfo(kind).Filter;
  const size_t start = filter.find('|') + 1;
  const std::string patterns = filter.substr(start, filter.find('|', start) - start);
  for (size_t at = 0; at < patterns.size();) {
    size_t end = patterns.find(';', at);
    if (end == std::string::npos) end = patterns.size();
    if (EndsWithText(file, patterns.substr(at + 1, end - at - 1))) return true;
    at = end + 1;
  }
  return false;
}

TFolderNode KindFolderTree(TEntryBrowseKind kind, const std::string& folder) {
  TFolderNode root{fs::path(folder).parent_path().filename().string(), folder, true, {}};
  FillFolder(kind, root, 1);
  return root;
}

std::vector<TEntryListing> ListEntries(TEntryBrowseKind kind, const std::string& file) {
  std::vector<TEntryListing> entries;
  const std::unique_ptr<TCode> code = OpenCode(kind, file);
  for (; code->Found; code->FindNextEntry())
    entries.push_back({code->EntryName, code->Title, code->HeaderLine, code->HeaderColumn});
  return entries;
}

std::string EntryText(const std::string& file, const TEntryListing& entry) {
  TCode code;
  code.LoadFile(file);
  code.SetPosition(entry.HeaderLine, entry.HeaderColumn);
  TFastStringList lines;
  code.CopyEntry(lines);
  std::string text;
  for (int i = 0; i < lines.Count(); ++i) text += (i > 0 ? "\n" : "") + lines[i];
  return text;
}

std::optional<TEntryChoice> InitialEntryChoice(TEntryBrowseKind kind, const std::string& file_name,
                                               const std::string& entry_name) {
  std::error_code error;
  std::string file = file_name;
  if (file.empty() || !fs::is_regular_file(file, error)) {
    file.clear();
    for (const TFolderNode& node : KindFolderTree(kind, EntryKindFolder(kind)).Children)
      if (!node.Folder) {
        file = node.Path;
        break;
      }
  }
  if (file.empty()) return std::nullopt;
  std::vector<TEntryListing> entries;
  try {
    entries = ListEntries(kind, file);
  } catch (const EZentrope&) {
    return std::nullopt;
  }
  if (entries.empty()) return std::nullopt;
  for (const TEntryListing& entry : entries)
    if (SameText(entry.Name, entry_name)) return TEntryChoice{file, entry.Name};
  return TEntryChoice{file, entries.front().Name};
}

}  // namespace zt
