// The formula editor's text area and its line-number margin.
#include "ui/code_edit.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

#include "document/settings/config_manager.h"

namespace zt {

class TLineNumberMargin : public QWidget {
 public:
  explicit TLineNumberMargin(TCodeEdit& edit) : QWidget(&edit), edit_(edit) {}
  QSize sizeHint() const override { return {edit_.MarginWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { edit_.PaintMargin(event); }

 private:
  TCodeEdit& edit_;
};

QFont EditorQFont(const TEditorFont& font) {
  QFont result(QString::fromStdString(font.Name));
  if (!QFontDatabase::families().contains(result.family(), Qt::CaseInsensitive))
    result = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  result.setStyleHint(QFont::TypeWriter);
  result.setPointSize(font.Size);
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  result.setUnderline(font.Underline);
  result.setStrikeOut(font.StrikeOut);
  return result;
}

std::string TabText(int column, int tab_size, bool tab_characters) {
  if (tab_characters) return "\t";
  return std::string(static_cast<size_t>(tab_size - column % tab_size), ' ');
}

std::string_view LeadingBlanks(std::string_view line) {
  size_t end = 0;
  while (end < line.size() && (line[end] == ' ' || line[end] == '\t')) ++end;
  return line.substr(0, end);
}

TCodeEdit::TCodeEdit(QWidget* parent)
    : QPlainTextEdit(parent), margin_(new TLineNumberMargin(*this)) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  connect(this, &QPlainTextEdit::blockCountChanged, this,
          [this] { setViewportMargins(MarginWidth(), 0, 0, 0); });
  connect(this, &QPlainTextEdit::updateRequest, this, &TCodeEdit::UpdateMargin);
  ApplySettings();
}

void TCodeEdit::ApplySettings() {
  const TConfigManager& config = ConfigManager();
  tab_size_ = config.TabSize;
  auto_indent_ = config.AutoIndent;
  tab_characters_ = config.TabCharacters;
  setFont(EditorQFont(config.EditorFont));
  setTabStopDistance(tab_size_ * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
  setViewportMargins(MarginWidth(), 0, 0, 0);
}

int TCodeEdit::MarginWidth() const {
  const int digits = QString::number(std::max(1, blockCount())).size();
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void TCodeEdit::GoTo(int line, int column) {
  const QTextBlock block = document()->findBlockByNumber(line);
  if (!block.isValid()) return;
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                      std::min(column, block.length() - 1));
  setTextCursor(cursor);
  centerCursor();
  setFocus();
}

void TCodeEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  margin_->setGeometry(area.left(), area.top(), MarginWidth(), area.height());
}

void TCodeEdit::keyPressEvent(QKeyEvent* event) {
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (event->key() == Qt::Key_Tab && plain && !textCursor().hasSelection()) {
    const int column = textCursor().positionInBlock();
    insertPlainText(QString::fromStdString(TabText(column, tab_size_, tab_characters_)));
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain && auto_indent_) {
    const std::string line = textCursor().block().text().toStdString();
    textCursor().insertText(QStringLiteral("\n") +
                            QString::fromStdString(std::string(LeadingBlanks(line))));
    ensureCursorVisible();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TCodeEdit::UpdateMargin(const QRect& rect, int dy) {
  if (dy != 0)
    margin_->scroll(0, dy);
  else
    margin_->update(0, rect.y(), margin_->width(), rect.height());
}

void TCodeEdit::PaintMargin(QPaintEvent* event) {
  QPainter painter(margin_);
  painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible())
      painter.drawText(0, top, margin_->width() - 4, height, Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(block.blockNumber() + 1));
    top += height;
    block = block.next();
  }
}

}  // namespace zt
