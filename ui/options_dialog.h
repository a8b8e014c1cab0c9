// The Options window: every setting a person sets, on the pages of
// option_pages.h, each field limited to its setting's range. Apply puts the
// fields into the settings; OK does that and writes the settings file; Cancel
// leaves the settings as they are (or as the last Apply left them). The window
// opens on the page it showed last.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

class QListWidget;
class QStackedWidget;

namespace zt {

class TConfigManager;

// User-interface thread only. The settings object must outlive the window.
class TOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TOptionsDialog(TConfigManager& config, QWidget* parent = nullptr);

  // Fields into the settings.
  void Apply();
  void accept() override;
  // Remembers the page shown (ActivePage) for the next time.
  void done(int result) override;
  // Shows the page of that name (one of kOptionPages).
  void ShowPage(const char* page);

 signals:
  // The settings took the fields' values; windows that follow them update.
  void Applied();

 private:
  struct TBinding {
    std::function<void()> Load;   // setting into field
    std::function<void()> Store;  // field into setting
  };

  QWidget* BuildPage(const char* page);

  TConfigManager& config_;
  QListWidget* pages_;
  QStackedWidget* stack_;
  std::vector<TBinding> bindings_;
};

}  // namespace zt
