// The program-wide user interface and its standard-error and recording forms.
#include "platform/user_interface.h"

#include <atomic>
#include <iostream>

#include "platform/text.h"

namespace zt {
namespace {

std::atomic<TUserInterface*> installed{nullptr};

TStdErrUserInterface& StdErrUserInterface() {
  static TStdErrUserInterface ui;
  return ui;
}

}  // namespace

TUserInterface& UserInterface() {
  TUserInterface* ui = installed.load();
  return ui != nullptr ? *ui : StdErrUserInterface();
}

void SetUserInterface(TUserInterface* ui) { installed.store(ui); }

void TStdErrUserInterface::ShowMessage(const std::string& caption, const std::string& text,
                                       TMessageKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::cerr << caption << ": " << WithLineFeeds(text) << std::endl;
}

TAnswer TStdErrUserInterface::Ask(const std::string& caption, const std::string& question,
                                  TButtons buttons, TAnswer default_answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  TAnswer answer = default_answer;
  if (assume_yes_ && (buttons == TButtons::kYesNo || buttons == TButtons::kYesNoCancel))
    answer = TAnswer::kYes;
  else if (assume_yes_ && buttons == TButtons::kOkCancel)
    answer = TAnswer::kOk;
  std::cerr << caption << ": " << WithLineFeeds(question) << " -> "
            << (answer == TAnswer::kYes  ? "Yes"
                : answer == TAnswer::kNo ? "No"
                : answer == TAnswer::kOk ? "OK"
                                         : "Cancel")
            << std::endl;
  return answer;
}

void TRecordingUserInterface::ShowMessage(const std::string& caption, const std::string& text,
                                          TMessageKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.push_back({caption, text, kind, false});
}

TAnswer TRecordingUserInterface::Ask(const std::string& caption, const std::string& question,
                                     TButtons buttons, TAnswer default_answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.push_back({caption, question, TMessageKind::kConfirmation, true});
  if (answers_.empty()) return default_answer;
  const TAnswer answer = answers_.front();
  answers_.erase(answers_.begin());
  return answer;
}

bool TUserInterface::BrowseEntry(TEntryBrowseKind, std::string&, std::string&) { return false; }

bool TRecordingUserInterface::BrowseEntry(TEntryBrowseKind kind, std::string& file_name,
                                          std::string& entry_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  browsed_.push_back(kind);
  if (picks_.empty()) return false;
  file_name = picks_.front().first;
  entry_name = picks_.front().second;
  picks_.erase(picks_.begin());
  return true;
}

void TRecordingUserInterface::QueueBrowse(std::string file_name, std::string entry_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  picks_.emplace_back(std::move(file_name), std::move(entry_name));
}

std::vector<TEntryBrowseKind> TRecordingUserInterface::Browsed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return browsed_;
}

void TRecordingUserInterface::QueueAnswer(TAnswer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(answer);
}

std::vector<TRecordingUserInterface::TRecord> TRecordingUserInterface::Records() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return records_;
}

}  // namespace zt
