// Disk renders on the command line: `zt render ... --disk` (also with --aa, and
// on its own for images beyond the memory budget) renders strip by strip
// through a temporary .zdr file; `zt render FILE.zdr` continues a single or
// batch render. Shared with `zt batch`: the render options and the checks.
#pragma once

#include <iosfwd>
#include <string>

#include "document/disk/render_checks.h"
#include "document/disk/render_document.h"
#include "document/disk/render_job.h"

namespace zt {

struct TDiskRenderRequest {
  TParameterSet Set;
  std::string Output;
  TImageFormat Format = TImageFormat::kPNG;
  int Width = 0;  // 0: the set's size
  int Height = 0;
  int Depth = -1;  // anti-aliasing; -1: the Rendering settings'
  double Threshold = -1;
  int Threads = 0;  // 0: the ThreadNumber setting
};

// Renders the request; returns 0 when the image was written, 1 when rendering
// or writing failed, 2 for input that cannot be used or a check that refused,
// 3 when cancelled (the .zdr file stays). Main thread.
int RunDiskRender(const TDiskRenderRequest& request, std::ostream& out, std::ostream& err,
                  bool terminal);

// Continues the render file `file` with `threads` (0: the setting); statuses as
// RunDiskRender, and for a batch 1 also when sets could not be read.
int RunRenderFile(const std::string& file, int threads, std::ostream& out, std::ostream& err,
                  bool terminal);

// Runs `job` to its end (RunRenderJob) and reports how it ended on `out` and
// `err`: 0 done, 1 failed (the temporary file stays) or a batch with sets
// that could not be read (the final message), 3 cancelled (how to continue).
int FinishRenderJob(TRenderJob& job, std::ostream& out, std::ostream& err, bool terminal);

// The calculation threads (`threads`, or the ThreadNumber setting for 0) and
// the foreground priority of the settings.
TRenderOptions CommandRenderOptions(int threads);
// Fills a depth or threshold left at -1 from the Rendering settings (no
// anti-aliasing when AntiAliasing is off).
void FillAntiAliasDefaults(int& depth, double& threshold);
// The format options of the settings: Photoshop layers, JPEG quality and baseline.
TFormatOptions SettingsFormatOptions();
// Prints a refusing check's message (and for the space messages the space
// needed and available at `where`); true when the check let the render go on.
bool ReportCheck(const TRenderCheck& check, const std::string& where, double required,
                 std::ostream& err);

}  // namespace zt
