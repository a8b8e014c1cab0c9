// Disk renders and resumed render files on the command line (see
// disk_render_command.h).
#include "cli/disk_render_command.h"

#include <filesystem>
#include <ostream>

#include "cli/render_job_runner.h"
#include "document/disk/batch_render.h"
#include "document/disk/disk_render.h"
#include "document/settings/config_manager.h"
#include "platform/text.h"

namespace zt {

int FinishRenderJob(TRenderJob& job, std::ostream& out, std::ostream& err, bool terminal) {
  const std::string temporary = job.TemporaryFile();
  try {
    if (!RunRenderJob(job, err, terminal)) {
      err << ResumeHint(temporary) << '\n';
      return 3;
    }
  } catch (const EZentrope& e) {
    err << WithLineFeeds(e.Message()) << '\n'
        << "The render is kept in '" << temporary << "' for zt render to continue\n";
    return 1;
  }
  if (auto* batch = dynamic_cast<TBatchRender*>(&job)) {
    const std::string message = batch->FinalMessage();
    if (!message.empty()) {
      err << WithLineFeeds(message) << '\n';
      return 1;
    }
    out << "Rendered the batch into " << std::filesystem::path(temporary).parent_path().string()
        << '\n';
    return 0;
  }
  const TRenderFigures figures = job.Figures();
  out << "Wrote " << figures.Destination << " (" << figures.Width << " x " << figures.Height
      << ")\n";
  return 0;
}

TRenderOptions CommandRenderOptions(int threads) {
  const TConfigManager& config = ConfigManager();
  return {threads > 0 ? threads : config.ThreadNumber, config.ThreadForePriority};
}

void FillAntiAliasDefaults(int& depth, double& threshold) {
  const TConfigManager& config = ConfigManager();
  if (depth < 0) depth = config.AntiAliasing ? config.Depth : 0;
  if (threshold < 0) threshold = static_cast<double>(config.Threshold);
}

TFormatOptions SettingsFormatOptions() {
  const TConfigManager& config = ConfigManager();
  return {config.ExportPSDLayers, config.ExportJPEGQuality, config.ExportJPEGBaseline};
}

bool ReportCheck(const TRenderCheck& check, const std::string& where, double required,
                 std::ostream& err) {
  if (check.Result == TRenderCheck::TResult::kProceed) return true;
  err << WithLineFeeds(check.Message) << '\n';
  if (check.Message == kNotEnoughSpaceText || check.Message == kTooLargeText)
    err << "Needed: " << SpaceText(required) << ", " << AvailableText(where) << ": "
        << SpaceText(FreeSpace(where)) << '\n';
  if (check.Result == TRenderCheck::TResult::kAsk) err << "(--yes answers Yes)\n";
  return false;
}

int RunDiskRender(const TDiskRenderRequest& request, std::ostream& out, std::ostream& err,
                  bool terminal) {
  TRenderSettings settings;
  settings.Destination = request.Output;
  settings.Width = request.Width > 0 ? request.Width : request.Set.Keys.Width.value_or(0);
  settings.Height = request.Height > 0 ? request.Height : request.Set.Keys.Height.value_or(0);
  if (settings.Width < 1 || settings.Height < 1) {
    err << "zt render: '" << request.Set.Name << "' gives no image size; use --size\n";
    return 2;
  }
  settings.Depth = request.Depth;
  settings.Threshold = request.Threshold;
  FillAntiAliasDefaults(settings.Depth, settings.Threshold);
  settings.Format = request.Format;
  settings.Options = SettingsFormatOptions();
  const bool psd_layers = settings.Format == TImageFormat::kPSD && settings.Options.PSDLayers;
  const double required = RequiredSpace(settings.Width, settings.Height, 1,
                                        psd_layers ? request.Set.Keys.LayerCount.value_or(1) : 0);
  if (!ReportCheck(CheckDiskRender(settings.Destination, required), settings.Destination, required,
                   err))
    return 2;

  std::unique_ptr<TDiskRender> job;
  try {
    job = TDiskRender::Start(settings, request.Set.Text, CommandRenderOptions(request.Threads));
  } catch (const EZentrope& e) {
    err << WithLineFeeds(e.Message()) << '\n';
    return 2;
  }
  return FinishRenderJob(*job, out, err, terminal);
}

int RunRenderFile(const std::string& file, int threads, std::ostream& out, std::ostream& err,
                  bool terminal) {
  std::unique_ptr<TRenderJob> job;
  try {
    job = OpenRenderFile(file, CommandRenderOptions(threads));
  } catch (const EZentrope& e) {
    err << WithLineFeeds(e.Message()) << '\n';
    return 2;
  }
  return FinishRenderJob(*job, out, err, terminal);
}

}  // namespace zt
