// The text area of the formula editor: a plain-text editor with line numbers in
// a margin that follows the editor settings (font, tab size, AutoIndent,
// TabCharacters).
#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <string>
#include <string_view>

namespace zt {

struct TEditorFont;

// The editor font of the settings; a fixed-pitch face stands in when the named
// one is not installed.
QFont EditorQFont(const TEditorFont& font);

// What the Tab key inserts at `column` (from 0): a tab character, or blanks up
// to the next multiple of `tab_size`.
std::string TabText(int column, int tab_size, bool tab_characters);
// The blanks and tabs a line starts with, which AutoIndent repeats on the next.
std::string_view LeadingBlanks(std::string_view line);

// User-interface thread only.
class TCodeEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TCodeEdit(QWidget* parent = nullptr);

  // Takes the font, tab size, AutoIndent and TabCharacters from the settings.
  void ApplySettings();
  int TabSize() const { return tab_size_; }
  // Puts the cursor on `line` at character `column` (both from 0) and shows it.
  void GoTo(int line, int column);
  // The margin's width in pixels for the current line count.
  int MarginWidth() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class TLineNumberMargin;
  void PaintMargin(QPaintEvent* event);
  void UpdateMargin(const QRect& rect, int dy);

  QWidget* margin_;
  int tab_size_ = 2;
  bool auto_indent_ = true;
  bool tab_characters_ = false;
};

}  // namespace zt
