// The options dialog's pages.
#include "ui/option_pages.h"

namespace zt {
namespace {

using enum TOptionKind;

constexpr const char* kMouseActions =
    "Nothing|Select area|Drag fractal|Zoom fractal|Rotate fractal";
constexpr const char* kPriorities = "Lowest|Low|Normal";
constexpr const char* kMethods = "Guessing|Multi-pass linear|One-pass linear";
constexpr const char* kPeriodicity = "Off|Conservative|Normal|Rough";
constexpr const char* kZoomFactors = "2x|3x|4x|5x|6x";

constexpr TOptionRow kRows[] = {
    {"General", kHeading, nullptr, "Animated zooms"},
    {"General", kChoice, "Animation", "&Animation:", "Off|Only for single-layer images|Always"},
    {"General", kCheck, "LimitAnimSize", "&Limit animated zooms to images up to"},
    {"General", kNumber, "AnimMaxWidth", "Maximum &width:"},
    {"General", kNumber, "AnimMaxHeight", "Maximum &height:"},
    {"General", kNumber, "AnimFrames", "&Frames:"},
    {"General", kHeading, nullptr, "Double-click zoom"},
    {"General", kChoice, "ZoomDestination",
     "&Zoom to:", "The mouse position|The center of the window"},
    {"General", kChoice, "ZoomFactor", "Zoom &factor:", kZoomFactors},
    {"General", kChoice, "ZoomFactorShift", "Zoom factor with &Shift:", kZoomFactors},
    {"General", kHeading, nullptr, "Display"},
    {"General", kNumber, "MaxImageWidth", "Largest image shown, w&idth:"},
    {"General", kNumber, "MaxImageHeight", "Largest image shown, hei&ght:"},
    {"General", kColor, "BackgroundColor", "&Background color:"},
    {"General", kCheck, "PlaySoundWhenReady", "&Play a sound when a fractal is ready"},
    {"General", kFile, "SoundWhenReady", "S&ound file:"},
    {"General", kChoice, "WallpaperOptions", "Wa&llpaper:", "Off|Tile|Center"},
    {"General", kFile, "Wallpaper", "Wallpaper fil&e:"},

    {"Defaults", kHeading, nullptr, "New images"},
    {"Defaults", kNumber, "DefaultImageWidth", "&Width:"},
    {"Defaults", kNumber, "DefaultImageHeight", "&Height:"},
    {"Defaults", kFraction, "DefaultImageResolution", "&Resolution (dpi):"},
    {"Defaults", kFraction, "DefaultImageGamma", "&Gamma:"},
    {"Defaults", kHeading, nullptr, "Pasted fractals"},
    {"Defaults", kCheck, "OverrideSize", "Use the default si&ze"},
    {"Defaults", kCheck, "KeepAspect", "&Keep aspect ratio"},
    {"Defaults", kCheck, "OverrideResolution", "Use the default res&olution"},
    {"Defaults", kCheck, "OverrideGamma", "Use the default g&amma"},
    {"Defaults", kHeading, nullptr, "New documents"},
    {"Defaults", kCheck, "UseDefaultAuthor", "Set the a&uthor"},
    {"Defaults", kText, "DefaultAuthor", "Author:"},
    {"Defaults", kCheck, "UseDefaultComments", "Set the &comments"},
    {"Defaults", kLines, "DefaultComments", "Comments:"},
    {"Defaults", kCheck, "InitializeCreated", "Set the creation &date to today"},
    {"Defaults", kFile, "DefaultParamFile", "Default parameter &file:"},
    {"Defaults", kText, "DefaultParamEntry", "Default parameter &entry:"},
    {"Defaults", kFile, "DefaultGradientFile", "Default gradient f&ile:"},
    {"Defaults", kText, "DefaultGradientEntry", "Default gradient e&ntry:"},
    {"Defaults", kCheck, "DefaultGradientRGBMode", "Gradient editor starts in RG&B mode"},

    {"Calculation", kHeading, nullptr, "Threads"},
    {"Calculation", kNumber, "ThreadNumber", "&Threads per layer:"},
    {"Calculation", kChoice, "ThreadForePriority", "Priority of the &active window:", kPriorities,
     1},
    {"Calculation", kChoice, "ThreadBackPriority", "Priority of the &other windows:", kPriorities,
     1},
    {"Calculation", kHeading, nullptr, "Switch previews"},
    {"Calculation", kChoice, "SwitchMethod", "&Method:", kMethods},
    {"Calculation", kChoice, "SwitchPerCheck", "&Periodicity checking:", kPeriodicity},
    {"Calculation", kChoice, "SwitchPriority", "P&riority:", kPriorities, 1},
    {"Calculation", kChoice, "SwitchOptions", "&Switch to:", "A new window|The same window"},
    {"Calculation", kCheck, "SwitchOriginalSize", "Use the original window's si&ze"},
    {"Calculation", kCheck, "SwitchOriginalGradient", "Use the original window's &gradient"},
    {"Calculation", kCheck, "SwitchOriginalColoring", "Use the original window's &coloring"},
    {"Calculation", kHeading, nullptr, "Browser previews"},
    {"Calculation", kChoice, "BrowserMethod", "M&ethod:", kMethods},
    {"Calculation", kChoice, "BrowserPerCheck", "Per&iodicity checking:", kPeriodicity},
    {"Calculation", kChoice, "BrowserPriority", "Priorit&y:", kPriorities, 1},

    {"Rendering", kHeading, nullptr, "Render to Disk and batch renders"},
    {"Rendering", kNumber, "Width", "&Width:"},
    {"Rendering", kNumber, "Height", "&Height:"},
    {"Rendering", kCheck, "OriginalAspect", "Use &original aspect ratio"},
    {"Rendering", kCheck, "SkipExistingImages", "&Skip existing images"},
    {"Rendering", kCheck, "AntiAliasing", "&Anti-aliasing"},
    {"Rendering", kFraction, "Threshold", "&Threshold:"},
    {"Rendering", kNumber, "Depth", "&Depth:"},

    {"Export", kChoice, "ExportFormat",
     "&Format:", "Bitmap image (BMP)|Photoshop image (PSD)|PNG image|JPEG image|Targa image", 1},
    {"Export", kHeading, nullptr, "Photoshop"},
    {"Export", kCheck, "ExportPSDLayers", "Export &layers individually"},
    {"Export", kHeading, nullptr, "JPEG"},
    {"Export", kNumber, "ExportJPEGQuality", "&Quality:"},
    {"Export", kCheck, "ExportJPEGBaseline", "Force &baseline compression"},

    {"Directories", kHeading, nullptr, "Folders (empty: the program's folder)"},
    {"Directories", kFolder, "OpenDirectory", "&Open:"},
    {"Directories", kFolder, "FractalDirectory", "&Fractals:"},
    {"Directories", kFolder, "ExportDirectory", "&Export:"},
    {"Directories", kFolder, "ParameterDirectory", "&Parameters:"},
    {"Directories", kFolder, "GradientDirectory", "&Gradients:"},
    {"Directories", kFolder, "AlphaChannelDirectory", "&Alpha channels:"},
    {"Directories", kFolder, "TransformationDirectory", "&Transformations:"},
    {"Directories", kFolder, "FormulaDirectory", "Fo&rmulas:"},
    {"Directories", kFolder, "ColoringDirectory", "&Colorings:"},
    {"Directories", kCheck, "UseLastDirectory", "&Remember the last folder used"},

    {"Editor", kHeading, nullptr, "Font"},
    {"Editor", kFont, "EditorFontName", "&Font:"},
    {"Editor", kNumber, "EditorFontSize", "&Size:"},
    {"Editor", kCheck, "EditorFontBold", "&Bold"},
    {"Editor", kCheck, "EditorFontItalic", "&Italic"},
    {"Editor", kCheck, "EditorFontUnderline", "&Underline"},
    {"Editor", kCheck, "EditorFontStrikeOut", "Stri&ke out"},
    {"Editor", kCheck, "EditorFontInBrowsers", "Use the editor font in the entry &browsers"},
    {"Editor", kHeading, nullptr, "Editing"},
    {"Editor", kCheck, "AutoIndent", "&Auto indent"},
    {"Editor", kCheck, "TabCharacters", "Insert &tab characters"},
    {"Editor", kNumber, "TabSize", "Tab si&ze:"},
    {"Editor", kHeading, nullptr, "Compiler"},
    {"Editor", kCheck, "StrictTypeChecking", "Stri&ct type checking"},
    {"Editor", kCheck, "GenerateWarnings", "Generate &warnings"},
    {"Editor", kCheck, "HideMsgUponSuccess", "&Hide the messages after a successful compile"},

    {"Environment", kHeading, nullptr, "Start-up"},
    {"Environment", kChoice, "StartupFractalOptions", "&At start-up open:",
     "Nothing|The entry browser for formulas|The entry browser for parameter sets|"
     "The default parameter set"},
    {"Environment", kCheck, "CheckAssocAtStartup", "&Check file associations at start-up"},
    {"Environment", kHeading, nullptr, "Windows"},
    {"Environment", kChoice, "ToolInputDelay",
     "Tool input &delay:", "0.5 seconds|1 second|2 seconds|3 seconds|4 seconds|5 seconds|Off"},
    {"Environment", kCheck, "ShowHints", "Show &hints"},
    {"Environment", kCheck, "ShowToolbar", "Show the &tool bar"},
    {"Environment", kCheck, "ShowStatusBar", "Show the &status bar"},
    {"Environment", kCheck, "DockingTools", "&Docking tools"},
    {"Environment", kCheck, "NoSaveConfirmation", "&No question about unsaved changes"},
    {"Environment", kCheck, "UseCrosshairCursor", "Use a c&rosshair cursor"},
    {"Environment", kHeading, nullptr, "Mouse"},
    {"Environment", kChoice, "MouseLeftClick", "Left button:", kMouseActions},
    {"Environment", kChoice, "MouseLeftShiftClick", "Shift + left button:", kMouseActions},
    {"Environment", kChoice, "MouseLeftCtrlClick", "Ctrl + left button:", kMouseActions},
    {"Environment", kChoice, "MouseLeftAltClick", "Alt + left button:", kMouseActions},
    {"Environment", kChoice, "MouseRightClick", "Right button:", kMouseActions},
    {"Environment", kChoice, "MouseRightShiftClick", "Shift + right button:", kMouseActions},
    {"Environment", kChoice, "MouseRightCtrlClick", "Ctrl + right button:", kMouseActions},
    {"Environment", kChoice, "MouseRightAltClick", "Alt + right button:", kMouseActions},
    {"Environment", kHeading, nullptr, "Fractint import"},
    {"Environment", kCheck, "ImportFixedAspectRatio", "&Fixed aspect ratio 0.75"},
    {"Environment", kCheck, "ImportSmoothColoring", "S&mooth coloring where possible"},
};

}  // namespace

std::span<const TOptionRow> OptionRows() { return kRows; }

}  // namespace zt
