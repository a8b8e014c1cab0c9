// What the last wizard page starts: the read-me in the desktop's viewer and the
// installed program.
#pragma once

#include <QString>

namespace zt::setup {

// User-interface thread. Failures are ignored.
class TLauncher {
 public:
  virtual ~TLauncher() = default;
  virtual void OpenDocument(const QString& file) = 0;
  virtual void StartProgram(const QString& program, const QString& working_folder) = 0;
};

// The desktop's viewer (xdg-open) and a detached process.
class TDesktopLauncher : public TLauncher {
 public:
  void OpenDocument(const QString& file) override;
  void StartProgram(const QString& program, const QString& working_folder) override;
};

}  // namespace zt::setup
