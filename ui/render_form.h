// The rendering window: runs a disk or batch render (a TRenderJob) from a timer
// on the user-interface thread and shows its progress, elapsed and remaining
// time, pixels per second, temporary file and destination, with the progress
// in its caption. Cancel (or closing the window) records the work under way in
// the temporary .zdr file, from which opening that file resumes it.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "document/disk/render_job.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zt {

class TConfigManager;

// User-interface thread only. The window deletes itself once closed. Its
// calculation threads run at ThreadForePriority while it is the active window
// and at ThreadBackPriority while it is not.
class TRenderForm : public QWidget {
  Q_OBJECT

 public:
  // Runs `job`, which has started.
  TRenderForm(std::unique_ptr<TRenderJob> job, const TConfigManager& config,
              QWidget* parent = nullptr);
  ~TRenderForm() override;

  // Stops the render (kept for a resume) and closes the window.
  void Cancel();
  bool Over() const { return over_; }
  TRenderJob& Job() const { return *job_; }

 signals:
  // The render ended: `done` when every image was written, false when it was
  // cancelled or failed (its temporary file stays).
  void Finished(bool done);

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Tick();
  void ShowFigures();
  void End(bool done);

  std::unique_ptr<TRenderJob> job_;
  const TConfigManager& config_;
  QTimer* timer_;
  QProgressBar* bar_;
  QLabel* progress_;
  QLabel* elapsed_;
  QLabel* remaining_;
  QLabel* rate_;
  QLabel* destination_;
  QPushButton* cancel_;
  bool stepping_ = false;          // inside Step: a save may run the event loop
  bool cancel_requested_ = false;  // asked while stepping
  bool over_ = false;
};

// The rendering window whose render runs through `temporary_file` (the same
// file, however named), or null.
TRenderForm* RunningRender(const std::string& temporary_file);

// The message that refuses a second render into `destination` while one runs.
std::string RunningRenderText(const std::string& destination);

// Runs `job` in a new rendering window over `parent` and shows it.
TRenderForm* ShowRenderForm(std::unique_ptr<TRenderJob> job, const TConfigManager& config,
                            QWidget* parent);

// Resumes the render of the .zdr file `file` in a rendering window; an error
// is shown and null returned when the file cannot be resumed. A render running
// through that file already has its window brought to the front instead.
TRenderForm* ResumeRenderFile(const std::string& file, const TConfigManager& config,
                              QWidget* parent);

// The options a render starts with: the ThreadNumber setting and the
// foreground priority (the new window is the active one).
TRenderOptions WindowRenderOptions(const TConfigManager& config);

}  // namespace zt
