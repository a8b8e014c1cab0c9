// Message boxes built from the library's captions, kinds and buttons; calls
// from other threads run on the user-interface thread through the dispatcher.
#include "ui/qt_user_interface.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "platform/text.h"
#include "platform/thread.h"
#include "ui/entry_browser.h"

namespace zt {
namespace {

QMessageBox::Icon IconOf(TMessageKind kind) {
  switch (kind) {
    case TMessageKind::kInformation: return QMessageBox::Information;
    case TMessageKind::kWarning: return QMessageBox::Warning;
    case TMessageKind::kError: return QMessageBox::Critical;
    case TMessageKind::kConfirmation: break;
  }
  return QMessageBox::Question;
}

constexpr std::pair<TAnswer, QMessageBox::StandardButton> kButtonOf[] = {
    {TAnswer::kOk, QMessageBox::Ok},
    {TAnswer::kCancel, QMessageBox::Cancel},
    {TAnswer::kYes, QMessageBox::Yes},
    {TAnswer::kNo, QMessageBox::No},
};

QMessageBox::StandardButtons ButtonsOf(TButtons buttons) {
  switch (buttons) {
    case TButtons::kOk: return QMessageBox::Ok;
    case TButtons::kOkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TButtons::kYesNo: return QMessageBox::Yes | QMessageBox::No;
    case TButtons::kYesNoCancel: break;
  }
  return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

// Shows one box on the user-interface thread and answers the button pressed;
// closing the box without a button gives the escape button's answer.
TAnswer ShowBox(const std::string& caption, const std::string& text, TMessageKind kind,
                TButtons buttons, TAnswer default_answer) {
  QMessageBox box(IconOf(kind),
                  caption.empty() ? QStringLiteral("Zentrope") : QString::fromStdString(caption),
                  QString::fromStdString(WithLineFeeds(text)), ButtonsOf(buttons),
                  QApplication::activeWindow());
  for (const auto& [answer, button] : kButtonOf)
    if (answer == default_answer && box.button(button) != nullptr) box.setDefaultButton(button);
  const int pressed = box.exec();
  for (const auto& [answer, button] : kButtonOf)
    if (pressed == button) return answer;
  return buttons == TButtons::kYesNo ? TAnswer::kNo : TAnswer::kCancel;
}

// Runs `call` on the user-interface thread and returns its result.
template <class TCall>
auto OnMainThread(TCall call) {
  decltype(call()) result{};
  MainThreadDispatcher().Invoke([&] { result = call(); });
  return result;
}

}  // namespace

void TQtUserInterface::ShowMessage(const std::string& caption, const std::string& text,
                                   TMessageKind kind) {
  OnMainThread([&] { return ShowBox(caption, text, kind, TButtons::kOk, TAnswer::kOk); });
}

TAnswer TQtUserInterface::Ask(const std::string& caption, const std::string& question,
                              TButtons buttons, TAnswer default_answer) {
  return OnMainThread([&] {
    return ShowBox(caption.empty() ? "Confirm" : caption, question, TMessageKind::kConfirmation,
                   buttons, default_answer);
  });
}

bool TQtUserInterface::BrowseEntry(TEntryBrowseKind kind, std::string& file_name,
                                   std::string& entry_name) {
  return OnMainThread([&] {
    const auto choice =
        TEntryBrowser::Choose(kind, file_name, entry_name, QApplication::activeWindow());
    if (!choice) return false;
    file_name = choice->FileName;
    entry_name = choice->EntryName;
    return true;
  });
}

std::string ClipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

void SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

}  // namespace zt
