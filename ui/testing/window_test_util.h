// A fixture for tests of the document window: small documents from the document
// tests' formula collection shown in a window, waits that keep both the Qt event
// loop and the main-thread dispatcher running, and input in image pixels.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

#include "document/fractal_test_util.h"
#include "platform/thread.h"
#include "ui/fractal_view.h"
#include "ui/fractal_window.h"
#include "ui/testing/wait_until.h"

namespace zt::testing {

class WindowTest : public FractalTest {
 protected:
  static bool WaitUntil(const std::function<bool()>& done, int milliseconds = 20000) {
    return testing::WaitUntil(done, milliseconds);
  }

  // A shown window of the given size over a document that calculates `entry`.
  std::unique_ptr<TFractalWindow> NewWindow(int width, int height, const std::string& entry,
                                            QSize window_size = QSize(320, 260)) {
    auto window = std::make_unique<TFractalWindow>(NewFractal(width, height, entry));
    window->resize(window_size);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
  }

  // A shown window whose document has been calculated.
  std::unique_ptr<TFractalWindow> CalculatedWindow(int width, int height) {
    auto window = NewWindow(width, height, "Mandel");
    EXPECT_TRUE(WaitUntil([&] { return window->IsCalculated(); }));
    return window;
  }

  // How many of the document's bitmap pixels the view shows otherwise.
  static int ShownMismatches(TFractalWindow& window) {
    const TDirectBitmap& bitmap = window.Fractal().Bitmap();
    const QImage shown = window.View().viewport()->grab().toImage();
    const QPoint origin = window.View().MapFromImage({0, 0}).toPoint();
    int wrong = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if ((shown.pixel(origin + QPoint(x, y)) & 0xFFFFFF) != bitmap.Pixel(x, y)) ++wrong;
    return wrong;
  }

  // The viewport position of image position `at` (pixel corners are whole numbers).
  static QPoint At(TFractalWindow& window, QPointF at) {
    return window.View().MapFromImage(at).toPoint();
  }
};

}  // namespace zt::testing
