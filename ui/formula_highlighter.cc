// The colors of the formula editor's classes.
#include "ui/formula_highlighter.h"

#include <QColor>

namespace zt {
namespace {

struct TClassStyle {
  TSyntaxClass Class;
  QRgb Color;
  bool Bold;
  bool Italic;
};

constexpr TClassStyle kStyles[] = {
    {TSyntaxClass::kKeyword, 0x00007f, true, false},
    {TSyntaxClass::kFunction, 0x005f87, false, false},
    {TSyntaxClass::kLabel, 0x8b008b, true, false},
    {TSyntaxClass::kParameter, 0x006400, false, false},
    {TSyntaxClass::kSymbol, 0xa0522d, false, false},
    {TSyntaxClass::kEntryName, 0x000000, true, false},
    {TSyntaxClass::kComment, 0x808080, false, true},
    {TSyntaxClass::kString, 0xb22222, false, false},
    {TSyntaxClass::kNumber, 0x0000cd, false, false},
};

}  // namespace

TFormulaHighlighter::TFormulaHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat TFormulaHighlighter::Format(TSyntaxClass syntax_class) {
  QTextCharFormat format;
  for (const TClassStyle& style : kStyles) {
    if (style.Class != syntax_class) continue;
    format.setForeground(QColor(style.Color));
    if (style.Bold) format.setFontWeight(QFont::Bold);
    format.setFontItalic(style.Italic);
  }
  return format;
}

void TFormulaHighlighter::highlightBlock(const QString& text) {
  // One byte per UTF-16 unit, so the spans' indices are the text's.
  const QByteArray line = text.toLatin1();
  for (const TSyntaxSpan& span : ClassifyLine(std::string_view(line.constData(), line.size())))
    setFormat(span.Start, span.Length, Format(span.Class));
}

}  // namespace zt
