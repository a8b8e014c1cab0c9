// Syntax coloring of the formula editor: each line's classes (formula_syntax.h)
// in the colors of their class.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include "ui/formula_syntax.h"

namespace zt {

// User-interface thread only.
class TFormulaHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  explicit TFormulaHighlighter(QTextDocument* document);

  // The format of a class (tests compare what a line is given with it).
  static QTextCharFormat Format(TSyntaxClass syntax_class);

 protected:
  void highlightBlock(const QString& text) override;
};

}  // namespace zt
