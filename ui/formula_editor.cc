// The formula editor window.
#include "ui/formula_editor.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <filesystem>

#include "document/entry_recompile.h"
#include "document/settings/config_manager.h"
#include "formula/entries/entry_text_compile.h"
#include "platform/atomic_output.h"
#include "platform/format.h"
#include "platform/user_interface.h"
#include "ui/code_edit.h"
#include "ui/compile_messages_dock.h"
#include "ui/formula_highlighter.h"
#include "ui/fractal_window.h"
#include "ui/help_pages.h"
#include "ui/main_window.h"

namespace zt {
namespace {

void ShowError(const std::string& text) {
  UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

std::string FileTitle(const std::string& file) {
  return std::filesystem::path(file).filename().string();
}

// The main window's documents take the saved file's entries anew.
void RecompileInDocuments(TMainWindow& window, const std::string& file) {
  std::vector<std::string> problems;
  for (TFractalWindow* document : window.Documents())
    RecompileEntriesFrom(document->Fractal(), file, problems);
  for (const std::string& problem : problems) ShowError(problem);
}

}  // namespace

TFormulaEditor::TFormulaEditor(QWidget* parent)
    : QMainWindow(parent),
      edit_(new TCodeEdit(this)),
      messages_(new TCompileMessagesDock(this)),
      position_(new QLabel(this)) {
  setWindowFlag(Qt::Window);
  setObjectName(QStringLiteral("FormulaEditor"));
  setCentralWidget(edit_);
  new TFormulaHighlighter(edit_->document());
  addDockWidget(Qt::BottomDockWidgetArea, messages_);
  messages_->hide();
  statusBar()->addPermanentWidget(position_);
  connect(messages_, &TCompileMessagesDock::JumpRequested, this, &TFormulaEditor::JumpTo);
  connect(edit_->document(), &QTextDocument::modificationChanged, this,
          &TFormulaEditor::UpdateTitle);
  connect(edit_, &QPlainTextEdit::cursorPositionChanged, this, &TFormulaEditor::UpdatePosition);
  BuildMenus();
  UpdatePosition();
  resize(720, 560);
}

void TFormulaEditor::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, &TFormulaEditor::Save);
  file->addSeparator();
  file->addAction(QStringLiteral("&Close"), QKeySequence::Close, this, &QWidget::close);
  QMenu* entry = menuBar()->addMenu(QStringLiteral("&Entry"));
  compile_action_ = entry->addAction(QStringLiteral("&Compile"), QKeySequence(Qt::Key_F9), this,
                                     &TFormulaEditor::CompileEntry);
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(messages_->toggleViewAction());
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("&Formula Language"), this,
                  [] { OpenHelpPage(kFormulaLanguagePage); });
}

TFormulaEditor* TFormulaEditor::Open(TMainWindow& window, const std::string& file) {
  TFormulaEditor* editor = nullptr;
  std::error_code error;
  // A closed editor is hidden until it is deleted: it does not count.
  for (TFormulaEditor* open : window.findChildren<TFormulaEditor*>(Qt::FindDirectChildrenOnly))
    if (open->isVisible() && std::filesystem::equivalent(open->FileName(), file, error))
      editor = open;
  if (editor == nullptr) {
    editor = new TFormulaEditor(&window);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    if (!editor->Load(file)) {
      delete editor;
      return nullptr;
    }
    editor->OnSaved = [&window](const std::string& saved) { RecompileInDocuments(window, saved); };
  }
  if (editor->isMinimized()) editor->showNormal();
  editor->show();
  editor->raise();
  editor->activateWindow();
  return editor;
}

bool TFormulaEditor::Load(const std::string& file) {
  QFile in(QString::fromStdString(file));
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error) || !in.open(QIODevice::ReadOnly)) {
    ShowError(Format("Could not open '%s'", file.c_str()));
    return false;
  }
  const QByteArray data = in.readAll();
  QStringDecoder utf8(QStringConverter::Utf8);
  QString text = utf8(data);
  latin1_ = utf8.hasError();
  if (latin1_) text = QString::fromLatin1(data);
  crlf_ = data.contains("\r\n");
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  file_ = file;
  TEntryKind kind;
  kind_ = EntryKindFromExtension(file, kind) ? std::optional(kind) : std::nullopt;
  compile_action_->setEnabled(kind_.has_value());
  edit_->setPlainText(text);
  edit_->document()->setModified(false);
  UpdateTitle();
  return true;
}

bool TFormulaEditor::Save() {
  QString text = edit_->toPlainText();
  if (crlf_) text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  const QByteArray bytes = latin1_ ? text.toLatin1() : text.toUtf8();
  try {
    WriteFileAtomically(file_, std::string_view(bytes.constData(), bytes.size()));
  } catch (const EZentrope& e) {
    ShowError(e.what());
    return false;
  }
  edit_->document()->setModified(false);
  statusBar()->showMessage(QStringLiteral("Saved"), 3000);
  if (OnSaved) OnSaved(file_);
  return true;
}

void TFormulaEditor::CompileEntry() {
  if (!kind_) return;
  TEntryTextCompilation compilation;
  try {
    compilation = CompileEntryInText(*kind_, edit_->toPlainText().toStdString(),
                                     edit_->textCursor().blockNumber(), FileTitle(file_),
                                     ConfigManager().CompileOptions());
  } catch (const EZentrope& e) {
    ShowError(e.what());
    return;
  }
  if (!compilation.Found) {
    statusBar()->showMessage(QStringLiteral("The file holds no entry."), 5000);
    return;
  }
  messages_->ShowCompilation(compilation);
  statusBar()->showMessage(QString::fromStdString(compilation.Result), 5000);
  const bool clean = compilation.Success && compilation.Messages.empty();
  messages_->setVisible(!(clean && ConfigManager().HideMsgUponSuccess));
  if (!compilation.Success && !compilation.Messages.empty())
    JumpTo(compilation.Messages.back().Line, compilation.Messages.back().Column);
}

void TFormulaEditor::JumpTo(int line, int column) {
  const QString text = edit_->document()->findBlockByNumber(line - 1).text();
  const std::string bytes = text.toStdString();
  const int index = CharacterColumn(bytes, column - 1, ConfigManager().CompileOptions().TabSize);
  // The compiler counts the UTF-8 bytes of the line; the editor its characters.
  edit_->GoTo(line - 1, static_cast<int>(QString::fromStdString(bytes.substr(0, index)).size()));
}

bool TFormulaEditor::Modified() const { return edit_->document()->isModified(); }

void TFormulaEditor::closeEvent(QCloseEvent* event) {
  if (Modified()) {
    const TAnswer answer =
        UserInterface().Ask("Confirm", "Save changes to '" + FileTitle(file_) + "'?",
                            TButtons::kYesNoCancel, TAnswer::kYes);
    if (answer == TAnswer::kCancel || (answer == TAnswer::kYes && !Save())) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

void TFormulaEditor::UpdateTitle() {
  setWindowTitle(QString::fromStdString(FileTitle(file_)) + QStringLiteral("[*] - Formula Editor"));
  setWindowModified(Modified());
}

void TFormulaEditor::UpdatePosition() {
  const QTextCursor cursor = edit_->textCursor();
  position_->setText(
      QStringLiteral("%1:%2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1));
}

}  // namespace zt
