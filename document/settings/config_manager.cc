// The program-wide settings object. Every key is listed once, in VisitSettings(),
// with its group, default and read rule; applying defaults, loading and saving
// are three visitors over that one list.
#include "document/settings/config_manager.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <thread>
#include <type_traits>

namespace zt {

namespace {

constexpr char kDefaultEditorFont[] = "Courier New";

// Read rules applied to a loaded value.
struct TKeep {
  template <class T>
  T operator()(T value) const {
    return value;
  }
};

template <class T>
struct TRange {
  T Low;
  T High;
  T operator()(T value) const { return std::clamp(value, Low, High); }
};

TRange<int> AtLeast(int low) { return {low, INT_MAX}; }

struct TLow24Bits {
  int operator()(int value) const { return value & 0xFFFFFF; }
};

struct TFolder {
  std::string operator()(std::string value) const {
    if (!value.empty() && value.back() != '/') value += '/';
    return value;
  }
};

struct TNonEmpty {
  const char* Fallback;
  std::string operator()(std::string value) const { return value.empty() ? Fallback : value; }
};

int DefaultThreadNumber() {
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 16);
}

class TApplyDefaults {
 public:
  template <class T, class Rule = TKeep>
  void operator()(const char*, const char*, T& field, std::type_identity_t<T> default_value,
                  Rule = {}) {
    field = default_value;
  }
};

class TLoad {
 public:
  explicit TLoad(const TRegistryManager& store) : store_(store) {}
  template <class T, class Rule = TKeep>
  void operator()(const char* group, const char* key, T& field,
                  std::type_identity_t<T> default_value, Rule rule = {}) {
    field = rule(Read(group, key, default_value));
  }

 private:
  int Read(const char* g, const char* k, int d) { return store_.ReadInteger(g, k, d); }
  bool Read(const char* g, const char* k, bool d) { return store_.ReadBoolean(g, k, d); }
  long double Read(const char* g, const char* k, long double d) {
    return store_.ReadFloat(g, k, d);
  }
  std::string Read(const char* g, const char* k, const std::string& d) {
    return store_.ReadString(g, k, d);
  }
  const TRegistryManager& store_;
};

class TSave {
 public:
  explicit TSave(TRegistryManager& store) : store_(store) {}
  template <class T, class Rule = TKeep>
  void operator()(const char* group, const char* key, T& field, std::type_identity_t<T>,
                  Rule = {}) {
    Write(group, key, field);
  }

 private:
  void Write(const char* g, const char* k, int v) { store_.WriteInteger(g, k, v); }
  void Write(const char* g, const char* k, bool v) { store_.WriteBoolean(g, k, v); }
  void Write(const char* g, const char* k, long double v) { store_.WriteFloat(g, k, v); }
  void Write(const char* g, const char* k, const std::string& v) { store_.WriteString(g, k, v); }
  TRegistryManager& store_;
};

// Collects every setting with its field and range.
class TDescribe {
 public:
  explicit TDescribe(std::vector<TSettingInfo>& out) : out_(out) {}
  template <class T, class Rule = TKeep>
  void operator()(const char* group, const char* key, T& field, std::type_identity_t<T>,
                  Rule rule = {}) {
    long double low = 0, high = 0;
    if constexpr (std::is_same_v<Rule, TRange<T>>) {
      low = rule.Low;
      high = rule.High;
    } else if constexpr (std::is_same_v<Rule, TLow24Bits>) {
      high = 0xFFFFFF;
    } else if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) {
      low = std::numeric_limits<T>::lowest();
      high = std::numeric_limits<T>::max();
    } else if constexpr (std::is_same_v<T, bool>) {
      high = 1;
    }
    out_.push_back({group, key, &field, low, high});
  }

 private:
  std::vector<TSettingInfo>& out_;
};

// Every setting, group by group, in load and save order.
template <class Visitor>
void VisitSettings(Visitor& v, TConfigManager& c) {
  const char* g = "General";
  v(g, "Animation", c.Animation, 1);
  v(g, "LimitAnimSize", c.LimitAnimSize, true);
  v(g, "AnimMaxWidth", c.AnimMaxWidth, 640, AtLeast(160));
  v(g, "AnimMaxHeight", c.AnimMaxHeight, 480, AtLeast(120));
  v(g, "AnimFrames", c.AnimFrames, 8, TRange<int>{2, 50});
  v(g, "ZoomDestination", c.ZoomDestination, 0, TRange<int>{0, 1});
  v(g, "ZoomFactor", c.ZoomFactor, 0, TRange<int>{0, 4});
  v(g, "ZoomFactorShift", c.ZoomFactorShift, 2, TRange<int>{0, 4});
  v(g, "MaxImageWidth", c.MaxImageWidth, 1600, AtLeast(160));
  v(g, "MaxImageHeight", c.MaxImageHeight, 1200, AtLeast(120));
  v(g, "BackgroundColor", c.BackgroundColor, 0, TLow24Bits{});
  v(g, "PlaySoundWhenReady", c.PlaySoundWhenReady, false);
  v(g, "SoundWhenReady", c.SoundWhenReady, "");
  v(g, "WallpaperOptions", c.WallpaperOptions, 0, TRange<int>{0, 2});
  v(g, "Wallpaper", c.Wallpaper, "");

  g = "Defaults";
  v(g, "DefaultImageWidth", c.DefaultImageWidth, 320, AtLeast(40));
  v(g, "DefaultImageHeight", c.DefaultImageHeight, 240, AtLeast(30));
  v(g, "DefaultImageResolution", c.DefaultImageResolution, 300.0L, TRange<long double>{1, 10000});
  v(g, "DefaultImageGamma", c.DefaultImageGamma, 2.5L, TRange<long double>{0.1L, 10});
  v(g, "OverrideSize", c.OverrideSize, false);
  v(g, "OverrideResolution", c.OverrideResolution, false);
  v(g, "OverrideGamma", c.OverrideGamma, false);
  v(g, "KeepAspect", c.KeepAspect, true);
  v(g, "DefaultGradientRGBMode", c.DefaultGradientRGBMode, true);
  v(g, "UseDefaultComments", c.UseDefaultComments, false);
  v(g, "UseDefaultAuthor", c.UseDefaultAuthor, false);
  v(g, "InitializeCreated", c.InitializeCreated, false);
  v(g, "DefaultComments", c.DefaultComments, "");
  v(g, "DefaultAuthor", c.DefaultAuthor, "");
  v(g, "DefaultParamEntry", c.DefaultParamEntry, "");
  v(g, "DefaultParamFile", c.DefaultParamFile, "");
  v(g, "DefaultGradientEntry", c.DefaultGradientEntry, "");
  v(g, "DefaultGradientFile", c.DefaultGradientFile, "");

  g = "Environment";
  v(g, "StrictTypeChecking", c.StrictTypeChecking, false);
  v(g, "GenerateWarnings", c.GenerateWarnings, true);
  v(g, "HideMsgUponSuccess", c.HideMsgUponSuccess, true);
  v(g, "AutoIndent", c.AutoIndent, true);
  v(g, "TabCharacters", c.TabCharacters, false);
  v(g, "EditorFontInBrowsers", c.EditorFontInBrowsers, false);
  v(g, "TabSize", c.TabSize, 2, TRange<int>{1, 16});
  v(g, "EditorFontName", c.EditorFont.Name, kDefaultEditorFont, TNonEmpty{kDefaultEditorFont});
  v(g, "EditorFontSize", c.EditorFont.Size, 10, TRange<int>{1, 100});
  v(g, "EditorFontBold", c.EditorFont.Bold, false);
  v(g, "EditorFontItalic", c.EditorFont.Italic, false);
  v(g, "EditorFontUnderline", c.EditorFont.Underline, false);
  v(g, "EditorFontStrikeOut", c.EditorFont.StrikeOut, false);
  v(g, "StartupFractalOptions", c.StartupFractalOptions, 1);
  v(g, "ToolInputDelay", c.ToolInputDelay, 0, TRange<int>{0, 6});
  v(g, "CheckAssocAtStartup", c.CheckAssocAtStartup, true);

  g = "Fractals";
  const TRange<int> mouse_action{0, 4};
  v(g, "MouseLeftClick", c.MouseLeftClick, 1, mouse_action);
  v(g, "MouseLeftShiftClick", c.MouseLeftShiftClick, 3, mouse_action);
  v(g, "MouseLeftCtrlClick", c.MouseLeftCtrlClick, 2, mouse_action);
  v(g, "MouseLeftAltClick", c.MouseLeftAltClick, 4, mouse_action);
  v(g, "MouseRightClick", c.MouseRightClick, 0, mouse_action);
  v(g, "MouseRightShiftClick", c.MouseRightShiftClick, 0, mouse_action);
  v(g, "MouseRightCtrlClick", c.MouseRightCtrlClick, 0, mouse_action);
  v(g, "MouseRightAltClick", c.MouseRightAltClick, 0, mouse_action);
  v(g, "UseCrosshairCursor", c.UseCrosshairCursor, false);
  v(g, "NoSaveConfirmation", c.NoSaveConfirmation, false);
  v(g, "ImportFixedAspectRatio", c.ImportFixedAspectRatio, true);
  v(g, "ImportSmoothColoring", c.ImportSmoothColoring, true);
  v(g, "ThreadNumber", c.ThreadNumber, DefaultThreadNumber(), TRange<int>{1, 16});
  v(g, "ThreadForePriority", c.ThreadForePriority, 2, TRange<int>{1, 3});
  v(g, "ThreadBackPriority", c.ThreadBackPriority, 1, TRange<int>{1, 3});

  g = "Previews";
  v(g, "SwitchMethod", c.SwitchMethod, 0, TRange<int>{0, 2});
  v(g, "SwitchPerCheck", c.SwitchPerCheck, 3, TRange<int>{0, 3});
  v(g, "SwitchPriority", c.SwitchPriority, 3, TRange<int>{1, 3});
  v(g, "BrowserMethod", c.BrowserMethod, 0, TRange<int>{0, 2});
  v(g, "BrowserPerCheck", c.BrowserPerCheck, 1, TRange<int>{0, 3});
  v(g, "BrowserPriority", c.BrowserPriority, 1, TRange<int>{1, 3});
  v(g, "SwitchOptions", c.SwitchOptions, 0, TRange<int>{0, 1});
  v(g, "SwitchOriginalSize", c.SwitchOriginalSize, false);
  v(g, "SwitchOriginalGradient", c.SwitchOriginalGradient, false);
  v(g, "SwitchOriginalColoring", c.SwitchOriginalColoring, false);

  g = "Directories";
  v(g, "OpenDirectory", c.OpenDirectory, "", TFolder{});
  v(g, "FractalDirectory", c.FractalDirectory, "", TFolder{});
  v(g, "ExportDirectory", c.ExportDirectory, "", TFolder{});
  v(g, "ParameterDirectory", c.ParameterDirectory, "", TFolder{});
  v(g, "GradientDirectory", c.GradientDirectory, "", TFolder{});
  v(g, "AlphaChannelDirectory", c.AlphaChannelDirectory, "", TFolder{});
  v(g, "TransformationDirectory", c.TransformationDirectory, "", TFolder{});
  v(g, "FormulaDirectory", c.FormulaDirectory, "", TFolder{});
  v(g, "ColoringDirectory", c.ColoringDirectory, "", TFolder{});
  v(g, "UseLastDirectory", c.UseLastDirectory, true);

  g = "Options";
  v(g, "ShowHints", c.ShowHints, true);
  v(g, "ShowToolbar", c.ShowToolbar, true);
  v(g, "ShowStatusBar", c.ShowStatusBar, true);
  v(g, "DockingTools", c.DockingTools, true);
  v(g, "OpenFormat", c.OpenFormat, 1, TRange<int>{1, 9});
  v(g, "ExportFormat", c.ExportFormat, 1, TRange<int>{1, 5});
  v(g, "ExportPSDLayers", c.ExportPSDLayers, true);
  v(g, "ExportJPEGQuality", c.ExportJPEGQuality, 95, TRange<int>{1, 100});
  v(g, "ExportJPEGBaseline", c.ExportJPEGBaseline, false);

  g = "Rendering";
  v(g, "Width", c.Width, 640, TRange<int>{1, 100000});
  v(g, "Height", c.Height, 480, TRange<int>{1, 100000});
  v(g, "OriginalAspect", c.OriginalAspect, true);
  v(g, "SkipExistingImages", c.SkipExistingImages, false);
  v(g, "AntiAliasing", c.AntiAliasing, true);
  v(g, "Threshold", c.Threshold, 0.3L, TRange<long double>{0, 3});
  v(g, "Depth", c.Depth, 1, TRange<int>{1, 6});
}

}  // namespace

TConfigManager::TConfigManager() : TConfigManager(DefaultSettingsFolder()) {}

TConfigManager::TConfigManager(std::filesystem::path folder) : TRegistryManager(std::move(folder)) {
  TApplyDefaults defaults;
  VisitSettings(defaults, *this);
}

void TConfigManager::LoadAll() {
  Reload();
  TLoad load(*this);
  VisitSettings(load, *this);
}

bool TConfigManager::SaveAll() {
  TSave save(*this);
  VisitSettings(save, *this);
  return Flush();
}

TConfigManager& ConfigManager() {
  static TConfigManager instance;
  return instance;
}

std::vector<TSettingInfo> TConfigManager::Describe() {
  std::vector<TSettingInfo> settings;
  TDescribe describe(settings);
  VisitSettings(describe, *this);
  return settings;
}

TCompileOptions TConfigManager::CompileOptions() const {
  return {.TabSize = TabSize,
          .GenerateWarnings = GenerateWarnings,
          .StrictTypeChecking = StrictTypeChecking};
}

TAnimationOptions TConfigManager::AnimationOptions() const {
  return {.Animation = Animation,
          .LimitAnimSize = LimitAnimSize,
          .AnimMaxWidth = AnimMaxWidth,
          .AnimMaxHeight = AnimMaxHeight,
          .AnimFrames = AnimFrames};
}

}  // namespace zt
