// The parameter text that copying puts on the clipboard and pasting takes from
// it: one entry holding the copied object's section (a fractal, a layer, a
// location, a transformation, a formula, a coloring, a gradient or an alpha
// channel), and the check that a pasted text holds the kind the paste expects.
#pragma once

#include <functional>
#include <string>

#include "document/params/par_reader.h"
#include "document/params/par_writer.h"

namespace zt {

enum class TClipboardKind {
  kFractal,
  kLayer,
  kLocation,
  kTransformation,
  kFormula,
  kColoring,
  kGradient,
  kAlphaChannel
};

// What a paste shows when the text does not hold the kind: "Clipboard does not
// contain valid layer data" and so on.
const char* ClipboardErrorMessage(TClipboardKind kind);

// One entry named MakeEntryName(title) whose sections `write_body` writes,
// closed, as CR LF text. Any thread (it touches only what `write_body` does).
std::string ClipboardText(const std::string& title,
                          const std::function<void(TParWriter&)>& write_body);

// Loads `text` into `r` and reads up to the first section of its first entry.
// True when that section is the kind's own ("inside" or "outside" for a
// coloring): `r` then stands right after the section line, where the section's
// Read function starts. False for any other text (no entry, a first item
// before any section, another section).
bool OpenClipboardText(TParReader& r, const std::string& text, TClipboardKind kind);

}  // namespace zt
