// A fixture for document tests: the test thread as the main thread, a small
// formula collection, helpers that wait for calculations and read pixels, and a
// progress window that records what it was asked to show.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/fractal.h"
#include "document/progress_window.h"
#include "platform/thread.h"
#include "testing/test_support.h"

namespace zt::testing {

// Runs the work at once on the calling thread, recording each caption with its
// line and every progress reported.
class TRecordingWindow : public TProgressWindow {
 public:
  void Run(TProgressReporter& work, const std::string& caption, const std::string& line) override {
    Shown.push_back(caption + line);
    work.OnProgress = [this](TProgressReporter&, double progress) { Seen.push_back(progress); };
    work.Execute();
  }
  std::vector<std::string> Shown;
  std::vector<double> Seen;
};

class FractalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    file_ = dir_.Write("document.zfm",
                       "Mandel {\ninit:\n  z = 0\nloop:\n  z = sqr(z) + #pixel\nbailout:\n"
                       "  |z| < 4\ndefault:\n  maxiter = 60\n  periodicity = 0\n"
                       "  method = onepass\n}\n"
                       "Endless {\ninit:\n  float t = 0\nloop:\n  while true\n    t = t + 1\n"
                       "  endwhile\n  z = t\nbailout:\n  |z| < 4\n}\n")
                .string();
  }

  // A document of the given size whose current layer calculates `entry`.
  std::unique_ptr<TFractal> NewFractal(int width, int height, const std::string& entry) {
    auto fractal = std::make_unique<TFractal>("Test");
    fractal->SetWidth(width);
    fractal->SetHeight(height);
    if (!entry.empty()) fractal->CurrentLayer().Formula().SetEntry(file_, entry);
    return fractal;
  }

  static void Finish(TFractal& fractal) {
    MainThreadDispatcher().WaitFor([&] {
      for (int i = 0; i < fractal.Layers().Count(); ++i)
        if (fractal.Layers()[i].State() == kLayerCalculating) return false;
      return !fractal.IsCalculating();
    });
  }

  static std::vector<std::uint16_t> Pixels(const TLayer& layer) {
    std::vector<std::uint16_t> pixels;
    const TIndexImage& image = layer.Image();
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) pixels.push_back(image.GetPixel(x, y));
    return pixels;
  }

  TempDir dir_;
  std::string file_;
};

}  // namespace zt::testing
