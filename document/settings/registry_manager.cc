// The settings store on a text key file.
#include "document/settings/registry_manager.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "platform/atomic_output.h"
#include "platform/number_format.h"
#include "platform/text.h"

namespace zt {

namespace {

constexpr char kFileName[] = "settings.ini";
constexpr char kVersionFolder[] = "zentrope/2.0";
// Keeps at least this much of a window on the screen.
constexpr int kVisibleMargin = 20;

std::optional<int> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

const char* NonEmptyVariable(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

}  // namespace

std::filesystem::path DefaultSettingsFolder() {
  if (const char* dir = NonEmptyVariable("ZENTROPE_CONFIG_DIR")) return dir;
  // Relative values of XDG_CONFIG_HOME are invalid and must be ignored.
  const char* xdg = NonEmptyVariable("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::filesystem::path(xdg) / kVersionFolder;
  if (const char* home = NonEmptyVariable("HOME")) {
    return std::filesystem::path(home) / ".config" / kVersionFolder;
  }
  return {};
}

TRegistryManager::TRegistryManager() : TRegistryManager(DefaultSettingsFolder()) {}

TRegistryManager::TRegistryManager(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code error;
  if (!folder_.empty()) std::filesystem::create_directories(folder_, error);
  connected_ = !folder_.empty() && !error && std::filesystem::is_directory(folder_, error) &&
               access(folder_.c_str(), W_OK | X_OK) == 0;
  if (!connected_) connect_error_ = kConnectError;
  Reload();
}

std::filesystem::path TRegistryManager::FileName() const { return folder_ / kFileName; }

void TRegistryManager::Reload() {
  keys_.Parse("");
  if (!connected_) return;
  std::ifstream in(FileName(), std::ios::binary);
  if (!in) return;
  std::stringstream text;
  text << in.rdbuf();
  keys_.Parse(in.bad() ? std::string() : text.str());
}

bool TRegistryManager::Flush() {
  if (!connected_) return false;
  try {
    WriteFileAtomically(FileName(), keys_.Text());
  } catch (const EZentrope& e) {
    save_error_ = e.Message();
    return false;
  }
  save_error_.clear();
  return true;
}

std::string TRegistryManager::ReadString(std::string_view group, std::string_view key,
                                         const std::string& default_value) const {
  return keys_.Find(group, key).value_or(default_value);
}

int TRegistryManager::ReadInteger(std::string_view group, std::string_view key,
                                  int default_value) const {
  auto text = keys_.Find(group, key);
  return (text ? ParseInteger(*text) : std::nullopt).value_or(default_value);
}

long double TRegistryManager::ReadFloat(std::string_view group, std::string_view key,
                                        long double default_value) const {
  auto text = keys_.Find(group, key);
  long double value = default_value;
  if (text) ParseNumber(*text, value);  // leaves the default when it fails
  return value;
}

bool TRegistryManager::ReadBoolean(std::string_view group, std::string_view key,
                                   bool default_value) const {
  return ReadInteger(group, key, default_value ? 1 : 0) != 0;
}

void TRegistryManager::WriteString(std::string_view group, std::string_view key,
                                   std::string_view value) {
  if (connected_) keys_.Set(group, key, value);
}

void TRegistryManager::WriteInteger(std::string_view group, std::string_view key, int value) {
  WriteString(group, key, std::to_string(value));
}

void TRegistryManager::WriteFloat(std::string_view group, std::string_view key, long double value) {
  WriteString(group, key, FormatNumber(value));
}

void TRegistryManager::WriteBoolean(std::string_view group, std::string_view key, bool value) {
  WriteString(group, key, value ? "1" : "0");
}

std::string TRegistryManager::WindowGroup(std::string_view window) {
  return "Forms\\" + std::string(window);
}

void TRegistryManager::SaveWindowPosition(const TWindowPosition& window) {
  std::string group = WindowGroup(window.Name);
  WriteInteger(group, "Left", window.Left);
  WriteInteger(group, "Top", window.Top);
  if (window.Resizable) {
    WriteInteger(group, "Width", window.Width);
    WriteInteger(group, "Height", window.Height);
    WriteInteger(group, "State", static_cast<int>(window.State));
  }
  Flush();
}

bool TRegistryManager::LoadWindowPosition(TWindowPosition& window, int screen_width,
                                          int screen_height) const {
  std::string group = WindowGroup(window.Name);
  auto left_text = keys_.Find(group, "Left");
  if (!left_text || !ParseInteger(*left_text)) return false;
  bool normal = true;
  if (window.Resizable) {
    int state = ReadInteger(group, "State", static_cast<int>(TWindowState::kNormal));
    window.State = state == static_cast<int>(TWindowState::kMaximized) ? TWindowState::kMaximized
                                                                       : TWindowState::kNormal;
    normal = window.State == TWindowState::kNormal;
  }
  if (normal) {
    window.Left = std::min(ReadInteger(group, "Left", window.Left), screen_width - kVisibleMargin);
    window.Top = std::min(ReadInteger(group, "Top", window.Top), screen_height - kVisibleMargin);
    if (window.Resizable) {
      window.Width = ReadInteger(group, "Width", window.Width);
      window.Height = ReadInteger(group, "Height", window.Height);
    }
  }
  return true;
}

std::string TRegistryManager::ReadWindowValue(std::string_view window, std::string_view key,
                                              const std::string& default_value) const {
  return ReadString(WindowGroup(window), key, default_value);
}

std::string TRegistryManager::ReadWindowValue(std::string_view window, std::string_view key,
                                              const char* default_value) const {
  return ReadString(WindowGroup(window), key, default_value);
}

int TRegistryManager::ReadWindowValue(std::string_view window, std::string_view key,
                                      int default_value) const {
  return ReadInteger(WindowGroup(window), key, default_value);
}

bool TRegistryManager::ReadWindowValue(std::string_view window, std::string_view key,
                                       bool default_value) const {
  return ReadBoolean(WindowGroup(window), key, default_value);
}

void TRegistryManager::WriteWindowValue(std::string_view window, std::string_view key,
                                        std::string_view value) {
  WriteString(WindowGroup(window), key, value);
}

void TRegistryManager::WriteWindowValue(std::string_view window, std::string_view key,
                                        const char* value) {
  WriteString(WindowGroup(window), key, value);
}

void TRegistryManager::WriteWindowValue(std::string_view window, std::string_view key, int value) {
  WriteInteger(WindowGroup(window), key, value);
}

void TRegistryManager::WriteWindowValue(std::string_view window, std::string_view key, bool value) {
  WriteBoolean(WindowGroup(window), key, value);
}

}  // namespace zt
