// The render command: loads a document, lets every layer calculate to the end
// on the main thread's dispatcher loop and writes the result.
#include "cli/render_command.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "cli/disk_render_command.h"
#include "cli/memory_budget.h"
#include "cli/option_values.h"
#include "cli/progress_bar.h"
#include "document/fractal.h"
#include "document/fractal_params.h"
#include "document/settings/config_manager.h"
#include "platform/format.h"
#include "platform/text.h"
#include "platform/thread.h"
#include "platform/user_interface.h"

namespace zt {
namespace {

constexpr const char* kHelp =
    "Usage: zt render FILE [ENTRY] -o OUT [OPTIONS]\n"
    "       zt render FILE.zdr [--threads N]\n"
    "\n"
    "Calculates the parameter set ENTRY of the parameter file FILE (its first\n"
    "set when ENTRY is left out), or the fractal file FILE (.zfr; a partly\n"
    "calculated one continues), and writes OUT. OUT's extension picks the\n"
    "format: .png .bmp .jpg .tga .psd for an image, .zfr for a fractal file.\n"
    "\n"
    "A disk render calculates the image strip by strip through the file OUT\n"
    "with the extension .zdr, which stays when the render is cancelled (Ctrl-C)\n"
    "or breaks off; 'zt render OUT.zdr' continues it (a batch's too). Images\n"
    "too large for the memory budget (ZENTROPE_MEMORY_BUDGET, in MB; default\n"
    "half the available memory) are rendered that way on their own, without\n"
    "anti-aliasing unless --aa asks for it.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT    the file to write\n"
    "  --size WxH          the image size in pixels (default: the file's)\n"
    "  --threads N         calculation threads per layer, 1 to 16\n"
    "                      (default: the ThreadNumber setting)\n"
    "  --disk              render strip by strip (images only)\n"
    "  --aa DEPTH          anti-alias with DEPTH 0 to 6 (1 or more: a disk\n"
    "                      render; with --disk the default is the Rendering\n"
    "                      settings')\n"
    "  --aa-threshold T    colors closer than T (0 to 3) are not anti-aliased\n"
    "  --help              show this text\n"
    "\n"
    "Exit status: 0 the file was written, 1 it could not be written,\n"
    "2 usage or input file errors, 3 the disk render was cancelled.\n";

struct TOptions {
  std::vector<std::string> Positional;
  std::string Output;
  int Width = 0;
  int Height = 0;
  int Threads = 0;
  bool Disk = false;
  int Depth = -1;  // -1: not given
  double Threshold = -1;
};

// Fills `options`; false with the problem written to `err`.
bool ParseOptions(int argc, char** argv, TOptions& options, std::ostream& err) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        err << "zt render: " << arg << " needs a value\n";
        return false;
      }
      into = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "-o" || arg == "--output") {
      if (!value(options.Output)) return false;
    } else if (arg == "--size") {
      if (!value(text)) return false;
      if (!ParseSize(text, options.Width, options.Height)) {
        err << "zt render: --size needs WIDTHxHEIGHT from 1 to 100000, got '" << text << "'\n";
        return false;
      }
    } else if (arg == "--threads") {
      if (!value(text)) return false;
      if (!ParseWhole(text, 1, 16, options.Threads)) {
        err << "zt render: --threads needs a number from 1 to 16, got '" << text << "'\n";
        return false;
      }
    } else if (arg == "--disk") {
      options.Disk = true;
    } else if (arg == "--aa") {
      if (!value(text)) return false;
      if (!ParseWhole(text, 0, 6, options.Depth)) {
        err << "zt render: --aa needs a depth from 0 to 6, got '" << text << "'\n";
        return false;
      }
    } else if (arg == "--aa-threshold") {
      if (!value(text)) return false;
      if (!ParseFraction(text, 0, 3, options.Threshold)) {
        err << "zt render: --aa-threshold needs a number from 0 to 3, got '" << text << "'\n";
        return false;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      err << "zt render: unknown option '" << arg << "'\n";
      return false;
    } else {
      options.Positional.push_back(arg);
    }
  }
  if (options.Positional.empty() || options.Positional.size() > 2) {
    err << "zt render: expected FILE and at most one ENTRY\n";
    return false;
  }
  // A render file continues with what it was started with.
  if (EndsWithText(options.Positional[0], ".zdr")) {
    if (options.Positional.size() > 1 || !options.Output.empty() || options.Width > 0 ||
        options.Disk || options.Depth >= 0 || options.Threshold >= 0) {
      err << "zt render: a render file continues as it was started; only --threads applies\n";
      return false;
    }
    return true;
  }
  if (options.Output.empty()) {
    err << "zt render: no output file (-o OUT)\n";
    return false;
  }
  if (RenderOutputFor(options.Output) == TRenderOutput::kUnknown) {
    err << "zt render: cannot tell the format of '" << options.Output
        << "' (use .png .bmp .jpg .tga .psd or .zfr)\n";
    return false;
  }
  return true;
}

// Passes everything on to the user interface it replaces, noting whether a
// question was asked: loading asks only when an entry cannot be found.
class TQuestionWatcher : public TUserInterface {
 public:
  TQuestionWatcher() : next_(UserInterface()) { SetUserInterface(this); }
  ~TQuestionWatcher() override { SetUserInterface(&next_); }
  TQuestionWatcher(const TQuestionWatcher&) = delete;
  TQuestionWatcher& operator=(const TQuestionWatcher&) = delete;

  bool Asked() const { return asked_; }

  void ShowMessage(const std::string& caption, const std::string& text,
                   TMessageKind kind) override {
    next_.ShowMessage(caption, text, kind);
  }
  TAnswer Ask(const std::string& caption, const std::string& question, TButtons buttons,
              TAnswer default_answer) override {
    asked_ = true;
    return next_.Ask(caption, question, buttons, default_answer);
  }
  bool BrowseEntry(TEntryBrowseKind kind, std::string& file_name,
                   std::string& entry_name) override {
    return next_.BrowseEntry(kind, file_name, entry_name);
  }

 private:
  TUserInterface& next_;
  bool asked_ = false;
};

// The entries of the document that did not compile.
std::vector<std::string> FailedEntries(TFractal& fractal) {
  std::vector<std::string> failed;
  for (const TFormulaBase* entry : EntriesOf(fractal)) {
    if (entry->CompileFailed())
      failed.push_back(Format("'%s' in '%s' (line %d, column %d)", entry->Code().EntryName.c_str(),
                              entry->Code().FileName.c_str(), entry->ErrorLine(),
                              entry->ErrorColumn()));
  }
  return failed;
}

bool AnyLayerCalculates(TFractal& fractal) {
  for (int i = 0; i < fractal.Layers().Count(); ++i)
    if (fractal.Layers()[i].State() == kLayerCalculating) return true;
  return fractal.IsCalculating();
}

// The share of all layers' pixels that is calculated.
double CalculatedShare(TFractal& fractal) {
  const int count = fractal.Layers().Count();
  double sum = 0;
  for (int i = 0; i < count; ++i) {
    const TLayer& layer = fractal.Layers()[i];
    sum += layer.State() == kLayerCalculating ? layer.Progress() : 1.0;
  }
  return count > 0 ? sum / count : 1.0;
}

// Continues what was interrupted and waits, drawing the bar, until no layer calculates.
void Calculate(TFractal& fractal, TProgressBar& bar) {
  for (int i = 0; i < fractal.Layers().Count(); ++i)
    if (fractal.Layers()[i].State() == kLayerInterrupted) fractal.Layers()[i].Resume();
  MainThreadDispatcher().WaitFor([&] {
    bar.Show("Calculating", CalculatedShare(fractal));
    return !AnyLayerCalculates(fractal);
  });
  bar.Finish();
}

// The parameter set of `input` as text, or nothing with the error written.
std::optional<TParameterSet> ReadSet(const std::string& input, const std::string& entry,
                                     std::ostream& err) {
  try {
    return EndsWithText(input, ".zfr") ? ReadFractalFileSet(input) : ReadParameterSet(input, entry);
  } catch (const EZentrope& e) {
    err << e.what() << '\n';
    return std::nullopt;
  }
}

// Whether the image fits the memory budget; says so on `err` when it does not.
// Input that cannot be read counts as fitting: loading it reports the error.
bool FitsMemory(const std::string& input, const std::string& entry, const TOptions& options,
                std::ostream& err) {
  std::ostringstream ignored;
  const std::optional<TParameterSet> set = ReadSet(input, entry, ignored);
  if (!set) return true;
  const int width = options.Width > 0 ? options.Width : set->Keys.Width.value_or(0);
  const int height = options.Width > 0 ? options.Height : set->Keys.Height.value_or(0);
  const int layers = set->Keys.LayerCount.value_or(1);
  const std::uint64_t needed = InMemoryBytes(width, height, layers);
  const std::uint64_t budget = MemoryBudget();
  if (needed <= budget) return true;
  err << Format(
      "zt render: a %d x %d image of %d %s needs about %.1f MB in memory, more than the "
      "budget of %.1f MB: it is rendered strip by strip\n",
      width, height, layers, layers == 1 ? "layer" : "layers", double(needed) / (1 << 20),
      double(budget) / (1 << 20));
  return false;
}

int RenderOnDisk(const std::string& input, const std::string& entry, const TOptions& options,
                 std::ostream& out, std::ostream& err, bool terminal) {
  static const TImageFormat kFormats[] = {TImageFormat::kBMP, TImageFormat::kPSD,
                                          TImageFormat::kPNG, TImageFormat::kTGA,
                                          TImageFormat::kJPEG};
  const TRenderOutput kind = RenderOutputFor(options.Output);
  if (kind == TRenderOutput::kFractalFile) {
    err << "zt render: a disk render writes images (.png .bmp .jpg .tga .psd), not fractal files\n";
    return 2;
  }
  std::optional<TParameterSet> set = ReadSet(input, entry, err);
  if (!set) return 2;
  TDiskRenderRequest request{
      std::move(*set),   options.Output, kFormats[static_cast<int>(kind) - 1],
      options.Width,     options.Height, options.Depth,
      options.Threshold, options.Threads};
  return RunDiskRender(request, out, err, terminal);
}

}  // namespace

TRenderOutput RenderOutputFor(const std::string& file) {
  struct TExtension {
    const char* Text;
    TRenderOutput Kind;
  };
  static const TExtension kExtensions[] = {
      {".bmp", TRenderOutput::kBMP},         {".psd", TRenderOutput::kPSD},
      {".png", TRenderOutput::kPNG},         {".tga", TRenderOutput::kTGA},
      {".jpg", TRenderOutput::kJPEG},        {".jpeg", TRenderOutput::kJPEG},
      {".zfr", TRenderOutput::kFractalFile},
  };
  for (const TExtension& e : kExtensions)
    if (EndsWithText(file, e.Text)) return e.Kind;
  return TRenderOutput::kUnknown;
}

void WriteRenderOutput(TFractal& fractal, TRenderOutput kind, const std::string& file) {
  switch (kind) {
    case TRenderOutput::kBMP: return fractal.ExportBMP(file);
    case TRenderOutput::kPSD: return fractal.ExportPSD(file);
    case TRenderOutput::kPNG: return fractal.ExportPNG(file);
    case TRenderOutput::kTGA: return fractal.ExportTGA(file);
    case TRenderOutput::kJPEG: return fractal.ExportJPEG(file);
    case TRenderOutput::kFractalFile: return fractal.SaveToFile(file);
    case TRenderOutput::kUnknown: break;
  }
  throw EZentrope("Cannot tell the format of '" + file + "'");
}

int RunRenderCommand(int argc, char** argv, std::ostream& out, std::ostream& err, bool terminal) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
  }
  TOptions options;
  if (!ParseOptions(argc, argv, options, err)) {
    err << "Run 'zt render --help' for the options.\n";
    return 2;
  }
  const std::string& input = options.Positional[0];
  if (EndsWithText(input, ".zdr")) return RunRenderFile(input, options.Threads, out, err, terminal);
  const std::string entry = options.Positional.size() > 1 ? options.Positional[1] : "";
  const bool fractal_file = EndsWithText(input, ".zfr");
  if (fractal_file && !entry.empty()) {
    err << "zt render: a fractal file has no entries; leave ENTRY out\n";
    return 2;
  }
  if (options.Disk || options.Depth >= 1)
    return RenderOnDisk(input, entry, options, out, err, terminal);
  if (!FitsMemory(input, entry, options, err)) {
    // The image that was asked for, only strip by strip: anti-aliased only on request.
    TOptions plain = options;
    if (plain.Depth < 0) plain.Depth = 0;
    return RenderOnDisk(input, entry, plain, out, err, terminal);
  }

  TProgressBar bar(err, terminal);
  TProgressWindowGuard window(bar);
  TFractal fractal(std::filesystem::path(input).stem().string());
  fractal.SetThreadCount(options.Threads > 0 ? options.Threads : ConfigManager().ThreadNumber);
  try {
    TQuestionWatcher watcher;
    std::vector<std::string> skipped;
    if (fractal_file)
      fractal.LoadFromFile(input);
    else
      LoadParameterFile(fractal, input, entry, &skipped);
    // A layer without the formula, coloring or transformation its parameter
    // set names would give a wrong image: nothing is written then.
    for (const std::string& message : skipped) err << message << '\n';
    if (watcher.Asked() || !skipped.empty())
      throw EZentrope("Some entries of '" + input + "' could not be found");
    const std::vector<std::string> failed = FailedEntries(fractal);
    for (const std::string& entry_text : failed) err << "Could not compile " << entry_text << '\n';
    if (!failed.empty())
      throw EZentrope("Run 'zt compile' on the files above for the compiler's messages");
    if (options.Width > 0) {
      fractal.BeginUpdate();
      fractal.SetWidth(options.Width);
      fractal.SetHeight(options.Height);
      fractal.EndUpdate();
    }
  } catch (const EZentrope& e) {
    bar.Finish();
    err << e.what() << '\n';
    return 2;
  }

  Calculate(fractal, bar);
  try {
    WriteRenderOutput(fractal, RenderOutputFor(options.Output), options.Output);
  } catch (const EZentrope& e) {
    bar.Finish();
    err << e.what() << '\n';
    return 1;
  }
  out << "Wrote " << options.Output << " (" << fractal.Width() << " x " << fractal.Height() << ", "
      << fractal.Layers().Count() << (fractal.Layers().Count() == 1 ? " layer" : " layers")
      << ")\n";
  return 0;
}

}  // namespace zt
