// What drives a disk or batch render, with a window or without: a job that
// advances in steps on the user-interface thread (a window's timer or a wait
// loop calls Step) while its calculations run on worker threads.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace zt {

// The threads and their priority a render calculates with.
struct TRenderOptions {
  int ThreadCount = 1;  // 1 to 16, per layer
  int Priority = 2;     // 1 lowest to 3 normal
};

// Where a job stands, for the progress display.
struct TRenderFigures {
  double Share = 0;    // of the current image, 0 to 1
  double Elapsed = 0;  // days, this image
  int Width = 0;       // of the current image
  int Height = 0;
  int Image = 1;   // the image under way, from 1
  int Images = 1;  // 1 for a single render
  bool Batch = false;
  bool Saving = false;  // the image is being written
  std::string Destination;
};

// Threads: user-interface thread only; the job's calculations report to it
// through the main-thread dispatcher, so whoever waits for a job keeps that
// dispatcher running (MainThreadDispatcher().WaitFor).
class TRenderJob {
 public:
  virtual ~TRenderJob() = default;

  // Does what is due without waiting: finishes a calculated layer, writes a
  // finished strip, writes an image. False once the job is over (done or
  // cancelled). Errors (ERenderError, the exporters') leave the temporary file
  // for a resume.
  virtual bool Step() = 0;
  // A calculation runs and Step has nothing to do until it ends or leaves
  // threads idle for work ahead.
  virtual bool Waiting() const = 0;
  // Stops the work under way and records it in the temporary file.
  virtual void Cancel() = 0;
  virtual bool Cancelled() const = 0;
  // The priority (1 lowest to 3 normal) of the calculation threads from now on,
  // running ones included.
  virtual void SetPriority(int priority) = 0;
  virtual TRenderFigures Figures() const = 0;
  virtual const std::string& TemporaryFile() const = 0;

  // Told of the share of an image written while it is saved; returning false
  // stops the save and keeps the render for a resume.
  std::function<bool(double share)> OnSaving;
};

// Resumes the single or batch render of the .zdr file `name`. Raises
// ERenderError "Could not open disk render file '%s'", "Invalid disk render
// file: %s" (not a render file of this version), "Disk render file is
// corrupted: %s" (the layers do not match) and "Invalid disk render file '%s'"
// for anything else that cannot be read or restored.
std::unique_ptr<TRenderJob> OpenRenderFile(const std::string& name, const TRenderOptions& options);

}  // namespace zt
