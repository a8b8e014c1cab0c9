// The rendering window's figures (see render_progress.h).
#include "document/disk/render_progress.h"

#include <algorithm>
#include <cmath>

#include "platform/format.h"
#include "render/fractal_timer.h"

namespace zt {

namespace {
constexpr double kSecondsPerDay = 86400;
}  // namespace

double ImageShare(const TStripPosition& p) {
  const double total = double(p.Layers) * double(p.Height);
  if (total == 0) return 0;
  const double done = double(p.Layers) * p.Strip * p.RowsPerStrip +
                      double(p.StoreRows) * (p.Layers - 1 - p.ListIndex + p.LayerShare);
  return std::clamp(done / total, 0.0, 1.0);
}

double LayerShare(double pixels_done, double pixels, int depth, double strip_pixels,
                  bool anti_aliasing, double aa_done) {
  if (pixels <= 0) return 1;
  if (depth <= 0) return pixels_done / pixels;
  const double weight = 0.5 * std::pow(3.0, depth);
  const double work = pixels + strip_pixels * weight;
  return anti_aliasing ? (pixels + aa_done * weight) / work : pixels_done / work;
}

std::string ProgressText(double share) { return Format("%.1f%%", share * 100); }

std::string BatchProgressText(double share, int image, int images) {
  return Format("%.1f%% of image %d of %d", share * 100, image, images);
}

std::string RemainingText(double share, double elapsed_days) {
  if (share <= 0) return "";
  return FormatTime((1 - share) * elapsed_days / share);
}

std::string PixelsPerSecondText(int width, int height, double share, double elapsed_days) {
  if (elapsed_days <= 0) return "";
  const double seconds = elapsed_days * kSecondsPerDay;
  return Format("%lld", std::llround(double(width) * double(height) * share / seconds));
}

std::string RenderingCaption(double share, const std::string& name) {
  return Format("[%d%%] Rendering %s", static_cast<int>(std::floor(share * 100)), name.c_str());
}

}  // namespace zt
