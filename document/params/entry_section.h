// The parameter-text sections of a layer's entry objects: "transform",
// "formula", "inside" and "outside". Each names its entry by collection file and
// entry name and carries the entry's parameter (p_) and function (f_) values.
#pragma once

#include <memory>

#include "document/params/par_reader.h"
#include "document/params/par_writer.h"
#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/transform.h"

namespace zt {

// All of these run on the thread that owns the objects (the user-interface
// thread). The Write functions write the section line and its items; the Read
// functions are called right after ReadKey met the section line and read its
// items up to the next section. An entry that cannot be loaded is looked for
// through TParReader::FindEntry; when that fails the object stays without entry
// and its parameter items are passed over.

void WriteTransform(TParWriter& w, TTransform& transform);
// Null when the section's entry could not be provided.
std::unique_ptr<TTransform> ReadTransform(TParReader& r);

void WriteFormula(TParWriter& w, TFormula& formula);
void ReadFormula(TParReader& r, TFormula& formula);

// The section is "inside" or "outside" after the coloring's kind.
void WriteColoring(TParWriter& w, TColoring& coloring);
void ReadColoring(TParReader& r, TColoring& coloring);

}  // namespace zt
