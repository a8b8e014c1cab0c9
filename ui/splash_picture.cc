// Painting the splash picture.
#include "ui/splash_picture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace zt {
namespace {

// Rings along a logarithmic spiral around `center`, growing and shifting hue
// outwards; `scale` 1 fills about 200 pixels around the center.
void DrawSpiral(QPainter& painter, QPointF center, double scale) {
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 60; ++i) {
    const double angle = i * 0.35;
    const double distance = 6 * scale * std::exp(angle * 0.16);
    const QPointF at = center + QPointF(std::cos(angle) * distance, std::sin(angle) * distance);
    const double radius = 2 * scale + distance * 0.12;
    QRadialGradient glow(at, radius);
    const QColor color = QColor::fromHsv((200 + i * 4) % 360, 200, 255, 200);
    glow.setColorAt(0, color);
    glow.setColorAt(1, QColor(color.red(), color.green(), color.blue(), 0));
    painter.setBrush(glow);
    painter.drawEllipse(at, radius, radius);
  }
}

void FillSky(QPainter& painter, const QRect& rect) {
  QLinearGradient sky(rect.topLeft(), rect.bottomRight());
  sky.setColorAt(0, QColor(12, 10, 40));
  sky.setColorAt(1, QColor(40, 8, 60));
  painter.fillRect(rect, sky);
}

}  // namespace

QIcon ProgramIcon() {
  QPixmap picture(64, 64);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  FillSky(painter, picture.rect());
  DrawSpiral(painter, QPointF(32, 32), 0.28);
  return QIcon(picture);
}

QPixmap SplashPicture() {
  constexpr int kWidth = 480;
  constexpr int kHeight = 300;
  QPixmap picture(kWidth, kHeight);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);

  FillSky(painter, picture.rect());
  DrawSpiral(painter, QPointF(kWidth * 0.72, kHeight * 0.5), 1);

  painter.setPen(QColor(245, 240, 255));
  QFont title = painter.font();
  title.setPixelSize(46);
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(QRect(28, 70, kWidth, 60), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Zentrope"));
  QFont line = painter.font();
  line.setPixelSize(16);
  line.setBold(false);
  painter.setFont(line);
  painter.drawText(QRect(30, 130, kWidth, 24), Qt::AlignLeft, QStringLiteral("Version 2.0"));
  painter.drawText(QRect(30, 154, kWidth, 24), Qt::AlignLeft,
                   QStringLiteral("Fractal image generator"));
  return picture;
}

}  // namespace zt
