// Running a disk or batch render from the command line: the job is stepped on
// the main thread until it ends, its progress drawn on standard error when
// that is a terminal, and Ctrl-C (SIGINT) or SIGTERM cancels it, leaving its
// temporary file for a resume.
#pragma once

#include <iosfwd>
#include <string>

#include "document/disk/render_job.h"

namespace zt {

// The progress line of `figures`: "Rendering NAME: " with the share ("%.1f%%",
// for a batch "%.1f%% of image %d of %d"), elapsed and remaining time and
// pixels per second; "Saving NAME: " and the share written while saving.
std::string RenderProgressLine(const TRenderFigures& figures);

// The line that tells how to continue a cancelled render.
std::string ResumeHint(const std::string& temporary_file);

// Steps `job` until it is done or cancelled; true when done. A second Ctrl-C
// ends the program at once. Errors of the job pass on. Main thread.
bool RunRenderJob(TRenderJob& job, std::ostream& err, bool terminal);

}  // namespace zt
