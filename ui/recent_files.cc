// The recent-file list and its place in the settings.
#include "ui/recent_files.h"

#include <algorithm>

#include "document/settings/registry_manager.h"

namespace zt {
namespace {

constexpr const char* kWindow = "RecentFiles";

std::string Key(int index) { return "File" + std::to_string(index + 1); }

}  // namespace

void TRecentFiles::Add(const std::string& file) {
  Remove(file);
  files_.insert(files_.begin(), file);
  if (files_.size() > kMaxFiles) files_.resize(kMaxFiles);
}

void TRecentFiles::Remove(const std::string& file) {
  files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
}

void TRecentFiles::Load(const TRegistryManager& store) {
  files_.clear();
  for (int i = 0; i < kMaxFiles; ++i) {
    const std::string file = store.ReadWindowValue(kWindow, Key(i), "");
    if (!file.empty() && std::find(files_.begin(), files_.end(), file) == files_.end())
      files_.push_back(file);
  }
}

void TRecentFiles::Save(TRegistryManager& store) const {
  for (int i = 0; i < kMaxFiles; ++i)
    store.WriteWindowValue(kWindow, Key(i),
                           i < static_cast<int>(files_.size()) ? files_[i] : std::string());
}

}  // namespace zt
