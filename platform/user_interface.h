// The messages and questions the program puts to a person. The front end provides
// the implementation: the command line writes to standard error, tests record.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace zt {

enum class TMessageKind { kInformation, kWarning, kError, kConfirmation };
enum class TButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class TAnswer { kOk, kCancel, kYes, kNo };
// What an entry browser lists: the entries of one kind of collection file.
enum class TEntryBrowseKind {
  kParameters,
  kGradient,
  kAlphaChannel,
  kFormula,
  kColoring,
  kTransformation
};

// Implementations must accept calls from any thread (calculation threads report
// their errors themselves); a message box is modal to the calling task.
class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  // Line breaks in `text` are carriage returns or line feeds.
  virtual void ShowMessage(const std::string& caption, const std::string& text,
                           TMessageKind kind) = 0;
  virtual TAnswer Ask(const std::string& caption, const std::string& question, TButtons buttons,
                      TAnswer default_answer) = 0;
  // Lets the person pick an entry of `kind`, starting at `file_name` (which may
  // be empty); true with both names set when one was picked. Without a browser
  // every search counts as cancelled.
  virtual bool BrowseEntry(TEntryBrowseKind kind, std::string& file_name, std::string& entry_name);
};

// The program-wide user interface: the standard-error one unless set. Never null.
TUserInterface& UserInterface();
// Installs `ui` (not owned; it must outlive its use); nullptr restores the default.
void SetUserInterface(TUserInterface* ui);

// Prints "caption: text" to standard error with line feeds for line breaks;
// answers every question with the given answer when set, else with the default.
class TStdErrUserInterface : public TUserInterface {
 public:
  void ShowMessage(const std::string& caption, const std::string& text, TMessageKind kind) override;
  TAnswer Ask(const std::string& caption, const std::string& question, TButtons buttons,
              TAnswer default_answer) override;
  void SetAnswer(bool answer_yes) { assume_yes_ = answer_yes; }

 private:
  std::mutex mutex_;
  bool assume_yes_ = false;
};

// Keeps every message and question for tests; answers questions from a queue of
// prepared answers, then with the default answer.
class TRecordingUserInterface : public TUserInterface {
 public:
  struct TRecord {
    std::string Caption;
    std::string Text;
    TMessageKind Kind = TMessageKind::kInformation;
    bool Question = false;
  };

  void ShowMessage(const std::string& caption, const std::string& text, TMessageKind kind) override;
  TAnswer Ask(const std::string& caption, const std::string& question, TButtons buttons,
              TAnswer default_answer) override;

  void QueueAnswer(TAnswer answer);
  // Browsing records the kind and answers with the queued picks, then cancels.
  bool BrowseEntry(TEntryBrowseKind kind, std::string& file_name, std::string& entry_name) override;
  void QueueBrowse(std::string file_name, std::string entry_name);
  std::vector<TEntryBrowseKind> Browsed() const;
  std::vector<TRecord> Records() const;

 private:
  mutable std::mutex mutex_;
  std::vector<TRecord> records_;
  std::vector<TAnswer> answers_;
  std::vector<std::pair<std::string, std::string>> picks_;
  std::vector<TEntryBrowseKind> browsed_;
};

// Installs a user interface for the lifetime of the guard (tests).
class TUserInterfaceGuard {
 public:
  explicit TUserInterfaceGuard(TUserInterface& ui) { SetUserInterface(&ui); }
  ~TUserInterfaceGuard() { SetUserInterface(nullptr); }
  TUserInterfaceGuard(const TUserInterfaceGuard&) = delete;
  TUserInterfaceGuard& operator=(const TUserInterfaceGuard&) = delete;
};

}  // namespace zt
