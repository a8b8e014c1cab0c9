// How installing and uninstalling talk to the person: messages and Yes/No
// questions, and the status line and progress bar of a running installation.
// The wizard shows boxes and its copy page; scripted runs use the console forms
// below.
#pragma once

#include <QString>

namespace zt::setup {

enum class TMessageKind { kWarning, kInformation };

// The thread that runs the procedure calls it.
class TMessenger {
 public:
  virtual ~TMessenger() = default;
  virtual void Show(const QString& text, TMessageKind kind) = 0;
  // True for Yes.
  virtual bool Ask(const QString& question) = 0;
};

// The installing thread calls it once per step.
class TProgress {
 public:
  virtual ~TProgress() = default;
  // Shows the status and `position` of `maximum` items, then lets pending
  // window events run.
  virtual void Report(const QString& status, int position, int maximum) = 0;
};

// Scripted runs: every message and question goes to standard error (a question
// followed by the answer "Yes", which the command line gave).
class TConsoleMessenger : public TMessenger {
 public:
  void Show(const QString& text, TMessageKind kind) override;
  bool Ask(const QString& question) override;
};

// Scripted runs show no progress.
class TNoProgress : public TProgress {
 public:
  void Report(const QString&, int, int) override {}
};

}  // namespace zt::setup
