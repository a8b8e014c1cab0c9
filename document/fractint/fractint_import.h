// The import of Fractint parameter entries. Such an entry is a flat list of
// Fractint's keys; the import builds a one-layer document that reproduces the
// image with the program's own means: the shipped collections Fractint.zfm
// (Fractint's fractal types), Fractint.zcl (its inside and outside colors) and
// Fractint.zxf (its view window, skew and stretch, inversion), Fractint formula
// files for the type "formula", MAP palettes and Fractint's encoded palettes.
// Its external interface is ImportFractint.
#pragma once

#include <string>

namespace zt {

class TFractal;
class TParReader;

// Called by TFractal::LoadFromParameters, inside the document's update bracket,
// for an entry whose first item is the key `first_key` (the reader holds its
// value). Reads the rest of the entry and replaces the document's layers with
// one layer "Layer 1"; unless `ignore_size` is set the document takes the
// default image size, resolution and gamma of the settings.
//
// Entries the shipped collections lack, palette files that cannot be read and
// an entry without a fractal type are passed over and noted in the reader's
// Skipped list. Raises
// EInvalidParFile for a list or palette value that cannot be read, and the
// loading error (ECodeError) when a formula of type "formula" is found nowhere;
// the document keeps its layers then. User-interface thread.
void ImportFractint(TFractal& fractal, TParReader& r, const std::string& first_key,
                    bool ignore_size);

}  // namespace zt
