// The program-wide settings object.
#include "document/config_manager.h"

namespace zt {

TConfigManager& ConfigManager() {
  static TConfigManager instance;
  return instance;
}

}  // namespace zt
