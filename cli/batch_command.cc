// The batch command (see batch_command.h).
#include "cli/batch_command.h"

#include <filesystem>
#include <ostream>
#include <string>

#include "cli/disk_render_command.h"
#include "cli/option_values.h"
#include "document/disk/batch_render.h"
#include "document/settings/config_manager.h"
#include "platform/text.h"

namespace zt {

namespace {

constexpr const char* kHelp =
    "Usage: zt batch FILE.zpr -d DIR [OPTIONS]\n"
    "\n"
    "Renders every parameter set of FILE.zpr into the folder DIR, one image per\n"
    "set named after its title, through the temporary file DIR/FILE.zdr.\n"
    "Sets that cannot be read are listed in DIR/FILE.log. Ctrl-C cancels;\n"
    "'zt render DIR/FILE.zdr' continues.\n"
    "\n"
    "Options:\n"
    "  -d, --folder DIR    the destination folder (made when missing)\n"
    "  --size WxH          the image size (default: the Rendering settings)\n"
    "  --format F          png, bmp, jpg, tga or psd (default: png)\n"
    "  --skip-existing     leave out sets whose image exists\n"
    "  --original-aspect   keep each set's aspect ratio at the given width\n"
    "  --aa DEPTH          anti-alias with DEPTH 0 to 6 (default: the settings)\n"
    "  --aa-threshold T    anti-aliasing threshold 0 to 3 (default: the settings)\n"
    "  --threads N         calculation threads per layer, 1 to 16\n"
    "  --shard I/N         render only the sets whose number - 1 is I modulo N,\n"
    "                      with a temporary file and log of their own\n"
    "  --yes               proceed into a folder that exists\n"
    "  --help              show this text\n"
    "\n"
    "Exit status: 0 every set was rendered, 1 a set failed, 2 usage errors and\n"
    "refused checks, 3 cancelled.\n";

struct TBatchOptions {
  TBatchSettings Settings;
  int Threads = 0;
  bool Yes = false;
};

// Fills `options`; false with the problem written to `err`.
bool Parse(int argc, char** argv, TBatchOptions& options, std::ostream& err) {
  TBatchSettings& s = options.Settings;
  const TConfigManager& config = ConfigManager();
  s.Width = config.Width;
  s.Height = config.Height;
  s.Depth = -1;
  s.Threshold = -1;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string text;
    const auto value = [&] {
      if (i + 1 >= argc) {
        err << "zt batch: " << arg << " needs a value\n";
        return false;
      }
      text = argv[++i];
      return true;
    };
    const auto bad = [&](const char* wanted) {
      err << "zt batch: " << arg << " needs " << wanted << ", got '" << text << "'\n";
      return false;
    };
    if (arg == "-d" || arg == "--folder") {
      if (!value()) return false;
      s.Folder = text;
    } else if (arg == "--size") {
      if (!value()) return false;
      if (!ParseSize(text, s.Width, s.Height)) return bad("WIDTHxHEIGHT from 1 to 100000");
    } else if (arg == "--format") {
      if (!value()) return false;
      static const char* kNames[] = {"bmp", "psd", "png", "jpg", "tga"};
      int format = 0;
      while (format < kImageFormatCount && !SameText(text, kNames[format])) ++format;
      if (format == kImageFormatCount) return bad("png, bmp, jpg, tga or psd");
      s.Format = static_cast<TImageFormat>(format);
    } else if (arg == "--aa") {
      if (!value()) return false;
      if (!ParseWhole(text, 0, 6, s.Depth)) return bad("a depth from 0 to 6");
    } else if (arg == "--aa-threshold") {
      if (!value()) return false;
      if (!ParseFraction(text, 0, 3, s.Threshold)) return bad("a number from 0 to 3");
    } else if (arg == "--threads") {
      if (!value()) return false;
      if (!ParseWhole(text, 1, 16, options.Threads)) return bad("a number from 1 to 16");
    } else if (arg == "--shard") {
      if (!value()) return false;
      const auto slash = text.find('/');
      if (slash == std::string::npos ||
          !ParseWhole(text.substr(slash + 1), 1, 100000, s.ShardCount) ||
          !ParseWhole(text.substr(0, slash), 0, s.ShardCount - 1, s.ShardIndex))
        return bad("I/N with 0 <= I < N");
    } else if (arg == "--skip-existing") {
      s.SkipExisting = true;
    } else if (arg == "--original-aspect") {
      s.OriginalAspect = true;
    } else if (arg == "--yes") {
      options.Yes = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      err << "zt batch: unknown option '" << arg << "'\n";
      return false;
    } else if (s.ParameterFile.empty()) {
      s.ParameterFile = arg;
    } else {
      err << "zt batch: expected one parameter file, got '" << arg << "' too\n";
      return false;
    }
  }
  if (s.ParameterFile.empty() || s.Folder.empty()) {
    err << "zt batch: expected FILE.zpr and -d DIR\n";
    return false;
  }
  FillAntiAliasDefaults(s.Depth, s.Threshold);
  s.Options = SettingsFormatOptions();
  return true;
}

}  // namespace

int RunBatchCommand(int argc, char** argv, std::ostream& out, std::ostream& err, bool terminal) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
  }
  TBatchOptions options;
  if (!Parse(argc, argv, options, err)) {
    err << "Run 'zt batch --help' for the options.\n";
    return 2;
  }
  const TBatchSettings& s = options.Settings;
  const double required = BatchRequiredSpace(s);
  if (!ReportCheck(
          CheckBatchRender(s.ParameterFile, s.Folder, s.SkipExisting, options.Yes, required),
          s.Folder, required, err))
    return 2;
  std::unique_ptr<TBatchRender> batch;
  try {
    batch = TBatchRender::Start(s, CommandRenderOptions(options.Threads));
  } catch (const EZentrope& e) {
    err << WithLineFeeds(e.Message()) << '\n';
    return 2;
  }
  return FinishRenderJob(*batch, out, err, terminal);
}

}  // namespace zt
