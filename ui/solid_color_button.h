// A button that shows one of a layer's solid colors with its opacity and lets the
// person choose another in the color dialog.
#pragma once

#include <QColor>
#include <QToolButton>

#include "color/color_types.h"

namespace zt {

// A layer's 12-bit solid color with its opacity (0 to 255) as a color, and back.
QColor SolidToColor(TRGB12 color, int alpha);
TRGB12 ColorToSolid(const QColor& color);

// User-interface thread only.
class TSolidColorButton : public QToolButton {
  Q_OBJECT

 public:
  // `title` captions the color dialog.
  TSolidColorButton(const QString& title, QWidget* parent = nullptr);

  void ShowColor(TRGB12 color, int alpha);

 signals:
  void ColorChosen(TRGB12 color, int alpha);

 private:
  void Choose();

  QString title_;
  QColor shown_;
};

}  // namespace zt
