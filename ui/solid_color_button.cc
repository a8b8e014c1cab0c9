// The solid color button.
#include "ui/solid_color_button.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace zt {

namespace {

// 12 bits widened to 16 (4095 becomes 65535) and narrowed back.
quint16 Widen(std::uint16_t channel) { return static_cast<quint16>(channel << 4 | channel >> 8); }

// A swatch of the color over a checkerboard, so that its opacity shows.
QIcon Swatch(const QColor& color, QSize size) {
  QPixmap pixmap(size);
  QPainter painter(&pixmap);
  const int cell = size.height() / 2;
  for (int y = 0; y < size.height(); y += cell)
    for (int x = 0; x < size.width(); x += cell)
      painter.fillRect(x, y, cell, cell, ((x + y) / cell) % 2 ? Qt::lightGray : Qt::white);
  painter.fillRect(pixmap.rect(), color);
  painter.setPen(Qt::darkGray);
  painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return QIcon(pixmap);
}

}  // namespace

QColor SolidToColor(TRGB12 color, int alpha) {
  QColor result = QColor::fromRgba64(Widen(color.Red), Widen(color.Green), Widen(color.Blue));
  result.setAlpha(alpha);
  return result;
}

TRGB12 ColorToSolid(const QColor& color) {
  const QRgba64 wide = color.rgba64();
  return TRGB12{static_cast<std::uint16_t>(wide.red() >> 4),
                static_cast<std::uint16_t>(wide.green() >> 4),
                static_cast<std::uint16_t>(wide.blue() >> 4)};
}

TSolidColorButton::TSolidColorButton(const QString& title, QWidget* parent)
    : QToolButton(parent), title_(title) {
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  setIconSize(QSize(36, 16));
  connect(this, &QToolButton::clicked, this, &TSolidColorButton::Choose);
}

void TSolidColorButton::ShowColor(TRGB12 color, int alpha) {
  const QColor shown = SolidToColor(color, alpha);
  if (shown == shown_ && !icon().isNull()) return;
  shown_ = shown;
  setIcon(Swatch(shown_, iconSize()));
  setText(tr("%1, opacity %2").arg(shown_.name(QColor::HexRgb)).arg(alpha));
}

void TSolidColorButton::Choose() {
  const QColor chosen =
      QColorDialog::getColor(shown_, this, title_, QColorDialog::ShowAlphaChannel);
  if (chosen.isValid()) emit ColorChosen(ColorToSolid(chosen), chosen.alpha());
}

}  // namespace zt
