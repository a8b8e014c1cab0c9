// Navigation gestures with real mouse, wheel and key events: each finished gesture
// moves the document exactly as the matching document call moves a twin of it and
// makes one undo step; cancelled gestures change nothing.
#include "ui/navigation.h"

#include <QWheelEvent>

#include <cmath>
#include <numbers>

#include "ui/testing/window_test_util.h"

namespace zt::testing {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// Public: the gesture table's functions drive the fixture.
class NavigationTest : public WindowTest {
 public:
  void Press(Qt::MouseButton button, QPointF at, Qt::KeyboardModifiers keys = {}) {
    QTest::mousePress(Viewport(), button, keys, At(*Window, at));
  }
  void Move(QPointF at) { QTest::mouseMove(Viewport(), At(*Window, at)); }
  void Release(Qt::MouseButton button, QPointF at, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseRelease(Viewport(), button, keys, At(*Window, at));
  }
  void Drag(Qt::MouseButton button, QPointF from, QPointF to, Qt::KeyboardModifiers keys = {}) {
    Press(button, from, keys);
    Move((from + to) / 2);
    Move(to);
    Release(button, to, keys);
  }
  void Click(Qt::MouseButton button, QPointF at, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(Viewport(), button, keys, At(*Window, at));
  }
  void Wheel(QPointF at, int delta) {
    const QPointF pos = At(*Window, at);
    QWheelEvent wheel(pos, Viewport()->mapToGlobal(pos), {}, {0, delta}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Viewport(), &wheel);
  }
  QWidget* Viewport() { return Window->View().viewport(); }

  // The current layer's location and the size of the window's document equal those
  // of `twin`, and the window's document gained `steps` undo steps.
  void ExpectSameView(TFractal& twin, int steps) {
    TFractal& fractal = Window->Fractal();
    const TMapping& mapping = fractal.CurrentLayer().Mapping();
    const TMapping& expected = twin.CurrentLayer().Mapping();
    EXPECT_DOUBLE_EQ(double(mapping.Center().real()), double(expected.Center().real()));
    EXPECT_DOUBLE_EQ(double(mapping.Center().imag()), double(expected.Center().imag()));
    EXPECT_DOUBLE_EQ(double(mapping.Magnification()), double(expected.Magnification()));
    EXPECT_DOUBLE_EQ(double(mapping.Angle()), double(expected.Angle()));
    EXPECT_EQ(fractal.Width(), twin.Width());
    EXPECT_EQ(fractal.Height(), twin.Height());
    EXPECT_EQ(fractal.History().Count(), History + steps);
  }

  std::unique_ptr<TFractalWindow> Window;
  int History = 0;  // undo steps before the gesture
};

TEST_F(NavigationTest, EachGestureIsOneNavigationStepOrNone) {
  using TSelf = NavigationTest;
  struct TCase {
    const char* Name;
    std::function<void(TSelf&)> Gesture;
    std::function<void(TFractal&)> Twin;  // empty: nothing changes
  };
  const TCase cases[] = {
      {"zoom box",
       [](TSelf& t) {
         t.Drag(Qt::LeftButton, {20, 15}, {100, 75});
       },
       [](TFractal& f) { f.ZoomToRectangle(20, 15, 80, 60, 0, false); }},
      {"zoom box drawn up and left, its height deciding",
       [](TSelf& t) {
         t.Drag(Qt::LeftButton, {100, 75}, {90, 15});
       },
       [](TFractal& f) { f.ZoomToRectangle(20, 15, 80, 60, 0, false); }},
      {"zoom box cancelled by Esc",
       [](TSelf& t) {
         t.Press(Qt::LeftButton, {20, 15});
         t.Move({100, 75});
         QTest::keyClick(&t.Window->View(), Qt::Key_Escape);
         t.Release(Qt::LeftButton, {100, 75});
       },
       nullptr},
      {"zoom box cancelled by the right button",
       [](TSelf& t) {
         t.Press(Qt::LeftButton, {20, 15});
         t.Move({100, 75});
         t.Press(Qt::RightButton, {100, 75});
         t.Release(Qt::RightButton, {100, 75});
         t.Release(Qt::LeftButton, {100, 75});
       },
       nullptr},
      {"left click",
       [](TSelf& t) {
         t.Click(Qt::LeftButton, {37, 21});
       },
       [](TFractal& f) { f.Zoom(37, 21, 2, true, false); }},
      {"right click",
       [](TSelf& t) {
         t.Click(Qt::RightButton, {37, 21});
       },
       [](TFractal& f) { f.Zoom(37, 21, 0.5, true, false); }},
      {"wheel notch",
       [](TSelf& t) {
         t.Wheel({37, 21}, 120);
         EXPECT_TRUE(
             t.WaitUntil([&] { return t.Window->Fractal().History().Count() > t.History; }));
       },
       [](TFractal& f) { f.Zoom(37, 21, 2, false, false); }},
      {"middle drag",
       [](TSelf& t) {
         t.Drag(Qt::MiddleButton, {40, 40}, {60, 50});
       },
       [](TFractal& f) { f.Pan(20, 10, false); }},
      {"middle drag cancelled by Esc",
       [](TSelf& t) {
         t.Press(Qt::MiddleButton, {40, 40});
         t.Move({60, 50});
         QTest::keyClick(&t.Window->View(), Qt::Key_Escape);
         t.Release(Qt::MiddleButton, {60, 50});
       },
       nullptr},
      {"shift drag a quarter turn clockwise",
       [](TSelf& t) {
         t.Drag(Qt::LeftButton, {140, 60}, {80, 100}, Qt::ShiftModifier);
       },
       [](TFractal& f) { f.Rotate(std::numbers::pi / 2, false); }},
      {"shift drag across the left, where the angles wrap",
       [](TSelf& t) {
         t.Drag(Qt::LeftButton, {20, 65}, {20, 55}, Qt::ShiftModifier);
       },
       [](TFractal& f) {
         f.Rotate(std::atan2(-5.0, -60.0) - std::atan2(5.0, -60.0) + 2 * std::numbers::pi, false);
       }},
      {"selection and crop",
       [](TSelf& t) {
         t.Drag(Qt::LeftButton, {20, 15}, {100, 75}, Qt::ControlModifier);
         EXPECT_TRUE(t.Window->HasSelection());
         t.Window->CropToSelection();
         EXPECT_FALSE(t.Window->HasSelection());
       },
       [](TFractal& f) { f.Crop(20, 15, 80, 60); }},
      {"selection cleared by Esc",
       [](TSelf& t) {
         t.Drag(Qt::LeftButton, {20, 15}, {100, 75}, Qt::ControlModifier);
         QTest::keyClick(&t.Window->View(), Qt::Key_Escape);
         t.Window->CropToSelection();
       },
       nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Window = CalculatedWindow(kWidth, kHeight);
    auto twin = NewFractal(kWidth, kHeight, "Mandel");
    Finish(*twin);
    History = Window->Fractal().History().Count();
    c.Gesture(*this);
    if (c.Twin) c.Twin(*twin);
    ExpectSameView(*twin, c.Twin ? 1 : 0);
    // Once recalculated, the view shows the document's image, without a preview.
    ASSERT_TRUE(WaitUntil([&] { return Window->IsCalculated() && ShownMismatches(*Window) == 0; }));
  }
}

TEST_F(NavigationTest, AClickWhileZoomedToFitZoomsAtTheImagePixelUnderIt) {
  Window = CalculatedWindow(64, 48);
  Window->resize(500, 420);
  Window->SetZoomToFit(true);
  ASSERT_TRUE(WaitUntil([&] { return Window->View().viewport()->width() > 400; }));
  // The image fills the viewport along its tighter side and is centered along the other.
  const QSize room = Window->View().viewport()->size();
  const double scale = std::min(room.width() / 64.0, room.height() / 48.0);
  const QPointF origin((room.width() - 64 * scale) / 2, (room.height() - 48 * scale) / 2);
  auto twin = NewFractal(64, 48, "Mandel");
  Finish(*twin);
  History = Window->Fractal().History().Count();
  QTest::mouseClick(Viewport(), Qt::LeftButton, {},
                    (origin + QPointF(37.5, 21.5) * scale).toPoint());
  twin->Zoom(37, 21, 2, true, false);
  ExpectSameView(*twin, 1);
}

}  // namespace
}  // namespace zt::testing
