// The window that saves one entry into a collection file (a parameter set, a
// gradient, an alpha channel): where it goes and under which title. The entry is
// appended to the file; the save function asks about an entry of that name.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QVBoxLayout;

namespace zt {

// What differs between the kinds of entry.
struct TSaveEntryKind {
  const char* Caption;      // "Save Parameters"
  const char* Noun;         // "parameter set", in the prompts and the title message
  const char* Filters;      // the file dialog's list
  const char* Extension;    // ".zpr", added to a name without one
  const char* Window;       // settings group Forms\<Window> that keeps the file
  const char* FileKey;      // "LastParamFile"
  std::string (*Folder)();  // where the file dialog starts without a file
};
extern const TSaveEntryKind kSaveParameters;
extern const TSaveEntryKind kSaveGradient;
extern const TSaveEntryKind kSaveAlphaChannel;

// User-interface thread only. OK checks the title and the file, then saves
// (`save` answers false when the person cancelled the overwrite question, and
// raises the library's errors) and closes; a missing title, an unusable file, a
// failed or cancelled save keep the window open.
class TSaveEntryDialog : public QDialog {
  Q_OBJECT

 public:
  using TSave = std::function<bool(const std::string& file, const std::string& title)>;

  TSaveEntryDialog(const TSaveEntryKind& kind, const std::string& title, TSave save,
                   QWidget* parent = nullptr);

  QLineEdit* FileEdit() const { return file_; }
  QLineEdit* TitleEdit() const { return title_; }

  void accept() override;

 protected:
  // Rows of a kind of its own go here, above the buttons.
  QVBoxLayout* ExtraRows() const { return extra_; }

 private:
  void BrowseFile();

  const TSaveEntryKind& kind_;
  TSave save_;
  QLineEdit* file_;
  QLineEdit* title_;
  QVBoxLayout* extra_;
};

}  // namespace zt
