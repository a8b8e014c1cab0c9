// Parameter sets and helpers for the disk render tests (see render_sets.h).
#include "document/testing/render_sets.h"

#include "document/fractal.h"
#include "document/params/par_reader.h"
#include "platform/text.h"
#include "platform/thread.h"
#include "testing/test_support.h"

namespace zt::testing {

std::string TestLayer(const std::string& caption, const std::string& method,
                      const std::string& center, const std::string& extra) {
  return "layer:\n  caption=\"" + caption + "\" visible=yes alpha=no" +
         (method.empty() ? "" : " method=" + method) + (extra.empty() ? "" : " " + extra) +
         "\nmapping:\n  center=" + center +
         " magn=1 angle=0\n"
         "formula:\n  filename=\"Standard.zfm\" entry=\"Mandelbrot\" maxiter=60 percheck=off\n"
         "inside:\n  transfer=none repeat=no\n"
         "outside:\n  filename=\"Standard.zcl\" entry=\"SmoothIterations\" density=4\n"
         "  transfer=sqrt repeat=yes p_speed=0.01 p_power=2\n"
         "gradient:\n  smooth=yes numnodes=4 index=0 color=16711680 index=100 color=16777215\n"
         "  index=200 color=65535 index=300 color=255\n";
}

std::string TestSet(const std::string& name, const std::string& title, int width, int height,
                    const std::vector<std::string>& layers) {
  std::string text = name + " {\nfractal:\n  title=\"" + title +
                     "\" width=" + std::to_string(width) + " height=" + std::to_string(height) +
                     " numlayers=" + std::to_string(layers.size()) + "\n";
  for (const std::string& layer : layers) text += layer;
  return text + "}\n\n";
}

bool DriveJob(TRenderJob& job, const std::function<bool()>& stop) {
  while (job.Step()) {
    MainThreadDispatcher().WaitFor([&] { return !job.Waiting() || (stop && stop()); });
    if (stop && stop()) {
      job.Cancel();
      return false;
    }
  }
  return !job.Cancelled();
}

std::string RenderInMemory(const std::string& text, const std::filesystem::path& file) {
  TFractal fractal("Memory");
  TParReader r;
  r.LoadFromText(text);
  fractal.LoadFromParameters(r, false);
  MainThreadDispatcher().WaitFor([&] {
    for (int i = 0; i < fractal.Layers().Count(); ++i)
      if (fractal.Layers()[i].State() == kLayerCalculating) return false;
    return !fractal.IsCalculating();
  });
  const std::string name = file.string();
  if (EndsWithText(name, ".psd")) {
    fractal.ExportPSD(name);
  } else {
    fractal.ExportBMP(name);
  }
  return ReadFile(file);
}

}  // namespace zt::testing
