// The entries of the shipped collections Fractint.zfm, Fractint.zcl and
// Fractint.zxf on a layer: loading them, inserting transformations and setting
// the parameters an entry declares. What the collections lack is passed over
// and noted in the reader's Skipped list.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "color/layer.h"
#include "document/params/par_reader.h"

namespace zt {

inline constexpr const char* kFractintFormulas = "Fractint.zfm";
inline constexpr const char* kFractintColorings = "Fractint.zcl";
inline constexpr const char* kFractintTransformations = "Fractint.zxf";

// Parameter values of each type.
TParamValue ComplexValue(long double re, long double im);
TParamValue FloatValue(long double value);
TParamValue IntValue(int value);
TParamValue BoolValue(bool value);

// All of these run on the thread that owns the layer (the user-interface thread).

// Loads `entry` of `collection` (in the folder of `kind`) into `object`; false,
// with the error noted in `r`, when it cannot be found.
bool LoadShippedEntry(TFormulaBase& object, const char* collection, TParEntryKind kind,
                      const std::string& entry, TParReader& r);

// Loads a coloring of Fractint.zcl, dropping the values of the previous one.
bool LoadShippedColoring(TColoring& coloring, const std::string& entry, TParReader& r);

// Inserts the transformation `entry` of Fractint.zxf with `params` at `at` of the
// layer's chain.
void InsertShippedTransform(TLayer& layer, int at, const std::string& entry,
                            std::vector<std::pair<std::string, TParamValue>> params, TParReader& r);

// The position of the transformation `entry` in the layer's chain, or -1.
int TransformIndex(TLayer& layer, const std::string& entry);

// Sets the values that `object` declares with the same type, as one change.
void SetDeclared(TFormulaBase& object, const std::vector<TNamedParamValue>& values);

}  // namespace zt
