// The figures the rendering window shows and the command line prints: the
// share of the image done, elapsed and remaining time, pixels per second and
// the window's caption. Plain functions of plain values; any thread.
#pragma once

#include <string>

namespace zt {

// Where a disk render stands, as the share of the image done is computed.
struct TStripPosition {
  int Layers = 0;         // rendered layers
  int Strip = 0;          // strip under way
  int RowsPerStrip = 1;   //
  int Height = 0;         // of the image
  int StoreRows = 0;      // rows of the working layer's pixel store
  int ListIndex = 0;      // of the layer under way (0 the top layer)
  double LayerShare = 0;  // of the current layer's work on the strip, 0 to 1
};

// (Layers * strip * rows per strip + store rows * (Layers - 1 - list index +
// share)) / (Layers * height), clamped to [0, 1]; 0 when Layers * height is 0.
double ImageShare(const TStripPosition& position);

// A layer's share of its work on a strip: calculating its `pixels` counts 1
// each, and an anti-aliasing pass of depth `depth` over `strip_pixels` pixels
// counts 0.5 * 3^depth each, of which `aa_done` are done. 1 without pixels.
double LayerShare(double pixels_done, double pixels, int depth, double strip_pixels,
                  bool anti_aliasing, double aa_done);

// "%.1f%%" of the share.
std::string ProgressText(double share);
// "%.1f%% of image %d of %d".
std::string BatchProgressText(double share, int image, int images);
// The remaining time at the rate so far, "" while nothing is done.
std::string RemainingText(double share, double elapsed_days);
// Pixels of a width x height image done per second, rounded; "" while no time
// has passed.
std::string PixelsPerSecondText(int width, int height, double share, double elapsed_days);
// "[%d%%] Rendering %s" with the whole percentage and the destination's name.
std::string RenderingCaption(double share, const std::string& name);

}  // namespace zt
