// The list behind File > Open Recent: the files opened last, newest first,
// kept in the settings between runs.
#pragma once

#include <string>
#include <vector>

namespace zt {

class TRegistryManager;

// User-interface thread only.
class TRecentFiles {
 public:
  static constexpr int kMaxFiles = 8;

  // Puts `file` first (moving it when it is listed), keeping at most kMaxFiles.
  void Add(const std::string& file);
  void Remove(const std::string& file);
  const std::vector<std::string>& Files() const { return files_; }

  // Values "File1" to "File8" of the window group "Forms\RecentFiles".
  void Load(const TRegistryManager& store);
  void Save(TRegistryManager& store) const;

 private:
  std::vector<std::string> files_;
};

}  // namespace zt
