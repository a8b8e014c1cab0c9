// The document view: paint notifications from another thread coalesce into one
// queued repaint while those on the user-interface thread repaint at once, and
// the bitmap reaches the screen opaque and unchanged.
#include "ui/fractal_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPaintEvent>
#include <QTest>

#include <thread>
#include <vector>

#include "render/direct_bitmap.h"

namespace zt {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Counts the events of one type that reach an object and unites painted areas.
class TEventCounter : public QObject {
 public:
  TEventCounter(QObject* watched, QEvent::Type type) : type_(type) {
    watched->installEventFilter(this);
  }
  int Count = 0;
  QRegion Painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != type_) return false;
    ++Count;
    if (type_ == QEvent::Paint) Painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }

 private:
  QEvent::Type type_;
};

class FractalViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::uint32_t> row(kWidth);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) row[x] = 0xFF000000u | (x * 4) << 16 | (y * 5) << 8 | 0x80;
      bitmap_.WriteRow(0, y, row.data(), kWidth);
    }
    view_.SetBitmap(&bitmap_);
    view_.resize(200, 150);
    view_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  }

  TDirectBitmap bitmap_{kWidth, kHeight};
  TFractalView view_;
};

TEST_F(FractalViewTest, PaintsFromAWorkerCoalesceAndThoseOfThisThreadShowAtOnce) {
  TEventCounter queued(&view_, QEvent::MetaCall);
  TEventCounter paints(view_.viewport(), QEvent::Paint);
  std::thread worker([this] {
    for (int i = 0; i < 1000; ++i) bitmap_.Paint({i % kWidth, 0, i % kWidth + 1, 1});
    bitmap_.Paint({0, kHeight - 1, 1, kHeight});
  });
  worker.join();
  ASSERT_TRUE(QTest::qWaitFor([&] { return paints.Count > 0; }, 5000));
  QCoreApplication::processEvents();
  EXPECT_EQ(queued.Count, 1);
  EXPECT_LE(paints.Count, 2);
  for (QPointF corner : {QPointF(0, 0), QPointF(kWidth - 1, 0), QPointF(0, kHeight - 1)})
    EXPECT_TRUE(paints.Painted.contains(view_.MapFromImage(corner + QPointF(0.5, 0.5)).toPoint()));

  // An animation frame, drawn on this thread, is on screen before Paint returns.
  const int before = paints.Count;
  bitmap_.PaintAll();
  EXPECT_EQ(paints.Count, before + 1);
  EXPECT_EQ(queued.Count, 1);
}

TEST_F(FractalViewTest, ShowsTheBitmapOpaqueAlsoOnTargetsWithAnAlphaChannel) {
  QImage target(view_.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::transparent);
  view_.viewport()->render(&target);
  const QPoint origin = view_.MapFromImage({0, 0}).toPoint();
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (target.pixel(origin + QPoint(x, y)) != (0xFF000000u | bitmap_.Pixel(x, y))) ++wrong;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(qAlpha(target.pixel(0, 0)), 255);  // the background around the image
}

}  // namespace
}  // namespace zt
