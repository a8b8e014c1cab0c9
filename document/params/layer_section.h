// The "layer" section of the parameter text with its subsections ("mapping"
// with its "transform" sections, "formula", "inside", "outside", "gradient",
// "alpha"), and the "location" section used to copy and paste a location.
#pragma once

#include "color/layer.h"
#include "document/params/par_reader.h"
#include "document/params/par_writer.h"
#include "formula/entries/mapping.h"

namespace zt {

// User-interface thread only, like the layer.

// Writes the section "layer" and all its subsections.
void WriteLayer(TParWriter& w, TLayer& layer);
// Called right after ReadKey met "layer:". Resets the layer's own properties,
// reads the layer keys and then the subsections in any order, and returns when
// ReadKey met a section that is not a layer subsection (SectionName() names it;
// empty at the end of the entry). Runs inside one update bracket of the layer.
// Raises the format error when the number of transform sections differs from
// numtransforms; what was read before an error stays in the layer.
void ReadLayer(TParReader& r, TLayer& layer);

// Writes "mapping" (center, magn, angle, numtransforms) and one "transform"
// section per transformation; reads them after ReadKey met "mapping:".
void WriteMapping(TParWriter& w, TMapping& mapping);
void ReadMapping(TParReader& r, TMapping& mapping);

// The section "location": center, magn and angle only.
void WriteLocation(TParWriter& w, const TMapping& mapping);
void ReadLocation(TParReader& r, TMapping& mapping);

}  // namespace zt
