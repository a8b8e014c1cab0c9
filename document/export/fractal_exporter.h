// TFractalExporter: connects an image exporter to a document. It describes the
// document to the exporter and answers its requests for merged rows, layer rows
// and layer properties.
#pragma once

#include <cstdint>

#include "document/export/export_image.h"
#include "document/progress_reporter.h"

namespace zt {

class TFractal;
struct TExportLayerInfo;

// What an export of the document hands the exporter: size, layer count,
// resolution, gamma, text, and the comment lines (calculation time filled in)
// joined with CR LF.
TExportDescription DescribeForExport(TFractal& fractal);

// Threads: the user-interface thread creates and executes it; the exporter's
// requests arrive on that thread too. The document's update manager is held
// stopped for the whole of Execute, so its merged rows can be read safely.
// The document and the exporter must outlive this object.
class TFractalExporter : public TProgressReporter {
 public:
  TFractalExporter(TFractal& fractal, TExportImage& image);

  // Fills the description from the document, wires the requests and runs the
  // exporter, reporting its progress. Errors of the exporter pass on.
  void Execute() override;

  // The requests; public so that tests can ask them directly.
  void GetLayerInfo(int layer, TExportLayerInfo& info);
  // Layer `layer`'s calculated row through its convert table: blue, green, red,
  // alpha. Rows or pixels the layer does not have are transparent black.
  void GetLayerRow(int layer, int row, std::uint8_t* bgra);
  // The merged row as the update manager composes it: blue, green, red.
  void GetRow(int row, std::uint8_t* bgr);

  // What Execute hands the exporter (DescribeForExport).
  TExportDescription Describe() { return DescribeForExport(fractal_); }

 private:
  TFractal& fractal_;
  TExportImage& image_;
};

}  // namespace zt
