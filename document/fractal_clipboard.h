// Copy and paste of a document and of the parts of its current layer as
// parameter text: the whole fractal, the layer, its location, its last
// transformation, its formula, its inside or outside coloring, its gradient or
// its alpha channel.
#pragma once

#include <string>

#include "document/fractal.h"
#include "document/params/clipboard_text.h"

namespace zt {

enum class TDocumentPart {
  kFractal,
  kLayer,
  kLocation,
  kTransformation,
  kFormula,
  kInsideColoring,
  kOutsideColoring,
  kGradient,
  kAlphaChannel
};

// The clipboard kind a part is copied as (both colorings are colorings).
TClipboardKind ClipboardKindOf(TDocumentPart part);

// User-interface thread, like the document.

// The part as clipboard text: one entry named after the fractal's title, the
// layer's caption (layer, location, gradient, alpha channel) or the entry's
// title. Empty when there is nothing to copy: a transformation on a layer
// without transformations.
std::string CopyPart(TFractal& fractal, TDocumentPart part);

// Applies clipboard text to the document in one undo step. A fractal replaces
// the whole document (the settings OverrideSize, OverrideResolution and
// OverrideGamma give it the default size, resolution and gamma instead of the
// text's); a layer is inserted before the current layer and becomes current; a
// transformation is appended to the current layer's chain; every other part
// replaces the current layer's. False, with nothing changed, when the text does
// not hold that kind of part (ClipboardErrorMessage tells the person). Format
// errors of the text raise EInvalidParFile after what was read was applied.
bool PastePart(TFractal& fractal, TDocumentPart part, const std::string& text);

}  // namespace zt
