// The program-wide settings object. Every part of the program reads its settings
// from the one instance that ConfigManager() returns.
#pragma once

namespace zt {

// Settings, one public field per key. Loaded at start and saved at exit on the
// main thread; other threads only read fields that do not change while they run.
class TConfigManager {
 public:
  // Environment
  bool StrictTypeChecking = false;
  bool GenerateWarnings = true;
  int TabSize = 2;
};

// The single program-wide instance.
TConfigManager& ConfigManager();

}  // namespace zt
