// The program-wide settings object. Every part of the program reads its settings
// from the one instance that ConfigManager() returns. docs/settings.md lists every
// group and key with its default and range.
#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "document/settings/registry_manager.h"
#include "formula/language/compile_options.h"
#include "render/animation_options.h"

namespace zt {

// The font of the formula editor (and of the entry browsers when
// EditorFontInBrowsers is set).
struct TEditorFont {
  std::string Name;
  int Size = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
};

// One setting's key, its field in a TConfigManager and the range a read clamps
// it into (for settings without one, the widest range of the field's type; 0 to
// 0xFFFFFF for a color). Lets windows that edit settings bind to them by key.
struct TSettingInfo {
  const char* Group;
  const char* Key;
  std::variant<int*, bool*, long double*, std::string*> Field;
  long double Low;
  long double High;
};

// Settings, one public field per key, grouped as in the settings file. A new
// object holds the defaults; LoadAll() reads the stored values (clamped to their
// ranges), SaveAll() writes them back. Loaded at start and saved at exit on the
// main thread; other threads only read fields that do not change while they run.
class TConfigManager : public TRegistryManager {
 public:
  // Uses DefaultSettingsFolder().
  TConfigManager();
  // Uses `folder` (tests and the command line point the store elsewhere).
  explicit TConfigManager(std::filesystem::path folder);

  // Reads the file again and every group in the order General, Defaults,
  // Environment, Fractals, Previews, Directories, Options, Rendering. Missing or
  // unreadable values give the defaults.
  void LoadAll();
  // Writes every group in the same order and then the file, once. Returns false
  // when the file could not be written (see SaveError()) or the store is unconnected.
  bool SaveAll();

  // Every setting of this object, in load and save order.
  std::vector<TSettingInfo> Describe();

  // The settings that lower layers take as values.
  TCompileOptions CompileOptions() const;
  TAnimationOptions AnimationOptions() const;

  // General
  int Animation;  // 0 off, 1 only for single-layer images, 2 always
  bool LimitAnimSize;
  int AnimMaxWidth;
  int AnimMaxHeight;
  int AnimFrames;
  int ZoomDestination;  // 0 the mouse position, 1 the window's center
  int ZoomFactor;       // 2x to 6x
  int ZoomFactorShift;
  int MaxImageWidth;
  int MaxImageHeight;
  int BackgroundColor;  // red + 256 * green + 65536 * blue
  bool PlaySoundWhenReady;
  std::string SoundWhenReady;
  int WallpaperOptions;  // 0 off, 1 tile, 2 center
  std::string Wallpaper;

  // Defaults
  int DefaultImageWidth;
  int DefaultImageHeight;
  long double DefaultImageResolution;
  long double DefaultImageGamma;
  bool OverrideSize;
  bool OverrideResolution;
  bool OverrideGamma;
  bool KeepAspect;
  bool DefaultGradientRGBMode;
  bool UseDefaultComments;
  bool UseDefaultAuthor;
  bool InitializeCreated;
  std::string DefaultComments;
  std::string DefaultAuthor;
  std::string DefaultParamEntry;
  std::string DefaultParamFile;
  std::string DefaultGradientEntry;
  std::string DefaultGradientFile;

  // Environment
  bool StrictTypeChecking;
  bool GenerateWarnings;
  bool HideMsgUponSuccess;
  bool AutoIndent;
  bool TabCharacters;
  bool EditorFontInBrowsers;
  int TabSize;
  TEditorFont EditorFont;     // keys EditorFontName, EditorFontSize, EditorFontBold, ...
  int StartupFractalOptions;  // 0 nothing, 1 formula browser, 2 parameter browser, 3 defaults
  int ToolInputDelay;         // 0.5, 1, 2, 3, 4, 5 seconds, off
  bool CheckAssocAtStartup;

  // Fractals: mouse actions 0 nothing, 1 select, 2 drag, 3 zoom, 4 rotate
  int MouseLeftClick;
  int MouseLeftShiftClick;
  int MouseLeftCtrlClick;
  int MouseLeftAltClick;
  int MouseRightClick;
  int MouseRightShiftClick;
  int MouseRightCtrlClick;
  int MouseRightAltClick;
  bool UseCrosshairCursor;
  bool NoSaveConfirmation;
  bool ImportFixedAspectRatio;
  bool ImportSmoothColoring;
  int ThreadNumber;
  int ThreadForePriority;  // 1 lowest, 2 low, 3 normal
  int ThreadBackPriority;

  // Previews
  int SwitchMethod;    // 0 guessing, 1 multi-pass linear, 2 one-pass linear
  int SwitchPerCheck;  // periodicity checking: off, conservative, normal, rough
  int SwitchPriority;
  int BrowserMethod;
  int BrowserPerCheck;
  int BrowserPriority;
  int SwitchOptions;  // 0 a new window, 1 the same window
  bool SwitchOriginalSize;
  bool SwitchOriginalGradient;
  bool SwitchOriginalColoring;

  // Directories: empty means the program's folder; non-empty values end in '/'.
  std::string OpenDirectory;
  std::string FractalDirectory;
  std::string ExportDirectory;
  std::string ParameterDirectory;
  std::string GradientDirectory;
  std::string AlphaChannelDirectory;
  std::string TransformationDirectory;
  std::string FormulaDirectory;
  std::string ColoringDirectory;
  bool UseLastDirectory;

  // Options
  bool ShowHints;
  bool ShowToolbar;
  bool ShowStatusBar;
  bool DockingTools;
  int OpenFormat;
  int ExportFormat;  // BMP, Photoshop, PNG, JPEG, Targa
  bool ExportPSDLayers;
  int ExportJPEGQuality;
  bool ExportJPEGBaseline;

  // Rendering: defaults of the render windows
  int Width;
  int Height;
  bool OriginalAspect;
  bool SkipExistingImages;
  bool AntiAliasing;
  long double Threshold;
  int Depth;
};

// The single program-wide instance, created at first call on DefaultSettingsFolder().
// It holds the defaults until the program calls LoadAll().
TConfigManager& ConfigManager();

}  // namespace zt
