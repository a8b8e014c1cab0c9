// The document a disk render works from: parameter sets read as text, and a
// document loaded from such a text whose layers hold no pixels, so that an
// image of any size costs no more memory than its strips.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/export/export_image.h"
#include "document/fractal.h"
#include "document/fractal_params.h"

namespace zt {

// One parameter set as text, with what its "fractal" section says.
struct TParameterSet {
  std::string Name;  // the entry's name
  std::string Text;  // the whole entry, lines ended by CR LF
  TFractalKeys Keys;
};

// The "fractal" section of an entry's text; empty keys without one.
TFractalKeys ScanFractalKeys(const std::string& text);

// The entry `entry` of a parameter file (its first entry when empty). Raises
// ECodeError when the file cannot be read or lacks the entry, EInvalidParFile
// for a file without entries.
TParameterSet ReadParameterSet(const std::string& file, const std::string& entry);

// Every parameter set of a parameter file's text: its entries except those
// named "comment" (any case), in file order.
std::vector<TParameterSet> ParameterSetsOf(const std::string& file_text);

// The parameter set a fractal file holds (without its pixels), named after
// the file. Raises EZentrope "Could not open '%s'" or "Could not read '%s'. The
// file is corrupted".
TParameterSet ReadFractalFileSet(const std::string& file);

// The text a render file stores of `fractal`: one entry named after the title,
// with the title, for an image of width x height.
std::string RenderParameterText(TFractal& fractal, int width, int height);

// Threads: user-interface thread. The document stays inside one update bracket
// for its whole life, so its layers never calculate.
class TRenderDocument {
 public:
  // Loads the entry of `text` without sizing the layers; resolution and gamma
  // are the text's. Raises the reader's errors, and EZentrope "Could not find the
  // entry '%s' in '%s'" for an entry the text names that cannot be found (no
  // search is offered: a render cannot use a layer without its entries).
  explicit TRenderDocument(const std::string& text);
  ~TRenderDocument();
  TRenderDocument(const TRenderDocument&) = delete;
  TRenderDocument& operator=(const TRenderDocument&) = delete;

  TFractal& Fractal() { return *fractal_; }
  // The visible layers' list indices, top first: the layers a render draws.
  const std::vector<int>& Rendered() const { return rendered_; }
  // The entries that did not compile, as "'entry' in 'file' (line l, column c)".
  std::vector<std::string> FailedEntries();

  // The text a render file stores: one entry named after the title, with the
  // title, for an image of width x height.
  std::string ParameterText(int width, int height);
  // The exporters' description of the image, with `elapsed` (days) as the
  // calculation time of the comments.
  TExportDescription Describe(int width, int height, double elapsed);
  // Exporter layer `index` (0 the top rendered layer).
  TExportLayerInfo LayerInfo(int index);

 private:
  std::unique_ptr<TFractal> fractal_;
  std::vector<int> rendered_;
};

}  // namespace zt
