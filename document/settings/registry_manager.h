// The settings store underneath TConfigManager: typed values in named groups,
// kept in one text key file, plus the positions of windows and a few values per
// window. A missing or broken file, or a folder that cannot be used, never stops
// the program; it only means defaults.
//
// Where the file lives: <folder>/settings.ini, where the folder is
// $ZENTROPE_CONFIG_DIR when set, else $XDG_CONFIG_HOME/zentrope/2.0, else
// ~/.config/zentrope/2.0 (see DefaultSettingsFolder()).
//
// When the file is read and written: the constructor and Reload() read it into
// memory; Read* and Write* work on that copy only; Flush() writes the whole copy
// back atomically (write a temporary file, then rename it over the old one).
// SaveWindowPosition() and TConfigManager::SaveAll() flush once after all their
// values, so the file is rewritten once per save, not once per key. Groups and
// keys that this version does not know are kept and written back.
//
// Threads: the main thread only. Nothing here locks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/key_file.h"

namespace zt {

// The message kept when the settings folder cannot be created or used.
inline constexpr char kConnectError[] = "Could not connect to registry";

// $ZENTROPE_CONFIG_DIR, else $XDG_CONFIG_HOME/zentrope/2.0 (an absolute value
// only), else $HOME/.config/zentrope/2.0; empty when none of them is set.
std::filesystem::path DefaultSettingsFolder();

enum class TWindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// A window as the store sees it: the name of its "Forms\<Name>" group, whether
// the user can resize it, and its frame. Width, Height and State are only stored
// for resizable windows.
struct TWindowPosition {
  std::string Name;
  bool Resizable = false;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  TWindowState State = TWindowState::kNormal;
};

class TRegistryManager {
 public:
  // Connects to DefaultSettingsFolder().
  TRegistryManager();
  // Connects to `folder`: creates it when needed and reads its settings.ini.
  // When the folder cannot be created or written, the store stays unconnected and
  // ConnectError() holds kConnectError: reads give defaults, writes are skipped.
  explicit TRegistryManager(std::filesystem::path folder);
  virtual ~TRegistryManager() = default;
  TRegistryManager(const TRegistryManager&) = delete;
  TRegistryManager& operator=(const TRegistryManager&) = delete;

  bool Connected() const { return connected_; }
  // kConnectError when unconnected, else empty; for the caller to show.
  const std::string& ConnectError() const { return connect_error_; }
  // The message of the last Flush() that failed, empty after one that succeeded.
  const std::string& SaveError() const { return save_error_; }
  std::filesystem::path FileName() const;

  // Reads the file again, dropping unsaved writes. A missing or unreadable file
  // gives an empty store.
  void Reload();
  // Writes the store to the file. Returns false when unconnected or when the
  // write failed (then SaveError() tells why and the old file is intact).
  bool Flush();

  // The stored value, or `default_value` when the store is unconnected, the value
  // is missing or does not read as the type: integers in decimal (32-bit),
  // booleans as integers (nonzero is true), floats in the general number format.
  std::string ReadString(std::string_view group, std::string_view key,
                         const std::string& default_value) const;
  int ReadInteger(std::string_view group, std::string_view key, int default_value) const;
  long double ReadFloat(std::string_view group, std::string_view key,
                        long double default_value) const;
  bool ReadBoolean(std::string_view group, std::string_view key, bool default_value) const;

  // Set a value in memory; nothing when unconnected.
  void WriteString(std::string_view group, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view group, std::string_view key, int value);
  void WriteFloat(std::string_view group, std::string_view key, long double value);
  void WriteBoolean(std::string_view group, std::string_view key, bool value);

  // Stores Left and Top, and for resizable windows Width, Height and State, then
  // flushes.
  void SaveWindowPosition(const TWindowPosition& window);
  // Applies a stored position to `window` and returns whether one was found.
  // Left is limited to screen_width - 20 and Top to screen_height - 20. For a
  // resizable window the state is read first, a minimized state becomes normal,
  // and only a normal window takes Left, Top, Width and Height.
  bool LoadWindowPosition(TWindowPosition& window, int screen_width, int screen_height) const;

  // Values under "Forms\<window>", held in memory until the next flush. The
  // const char* overloads keep a string literal from choosing the bool overload.
  std::string ReadWindowValue(std::string_view window, std::string_view key,
                              const std::string& default_value) const;
  std::string ReadWindowValue(std::string_view window, std::string_view key,
                              const char* default_value) const;
  int ReadWindowValue(std::string_view window, std::string_view key, int default_value) const;
  bool ReadWindowValue(std::string_view window, std::string_view key, bool default_value) const;
  void WriteWindowValue(std::string_view window, std::string_view key, std::string_view value);
  void WriteWindowValue(std::string_view window, std::string_view key, const char* value);
  void WriteWindowValue(std::string_view window, std::string_view key, int value);
  void WriteWindowValue(std::string_view window, std::string_view key, bool value);

 private:
  static std::string WindowGroup(std::string_view window);

  std::filesystem::path folder_;
  bool connected_ = false;
  std::string connect_error_;
  std::string save_error_;
  TKeyFile keys_;
};

}  // namespace zt
