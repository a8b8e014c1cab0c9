// Loading and setting up the entries of the Fractint collections.
#include "document/fractint/fractint_entries.h"

#include <memory>

#include "platform/text.h"

namespace zt {

TParamValue ComplexValue(long double re, long double im) {
  return {kTypeComplex, SlotFromLiteral(TLiteral::MakeComplex(re, im))};
}
TParamValue FloatValue(long double value) {
  return {kTypeFloat, SlotFromLiteral(TLiteral::MakeFloat(value))};
}
TParamValue IntValue(int value) { return {kTypeInt, SlotFromLiteral(TLiteral::MakeInt(value))}; }
TParamValue BoolValue(bool value) {
  return {kTypeBool, SlotFromLiteral(TLiteral::MakeBool(value))};
}

bool LoadShippedEntry(TFormulaBase& object, const char* collection, TParEntryKind kind,
                      const std::string& entry, TParReader& r) {
  try {
    object.LoadEntry(TParReader::InKindFolder(collection, kind), entry);
    return true;
  } catch (const ECodeError& e) {
    r.NoteSkipped(e.what());
    return false;
  }
}

bool LoadShippedColoring(TColoring& coloring, const std::string& entry, TParReader& r) {
  coloring.SetKeepValues(false);
  return LoadShippedEntry(coloring, kFractintColorings,
                          coloring.Inside() ? kParInsideColoring : kParOutsideColoring, entry, r);
}

void InsertShippedTransform(TLayer& layer, int at, const std::string& entry,
                            std::vector<std::pair<std::string, TParamValue>> params,
                            TParReader& r) {
  auto transform = std::make_unique<TTransform>();
  transform->SetCompileOptions(layer.Mapping().CompileOptions());
  TTransformSettings settings;
  settings.FileName = TParReader::InKindFolder(kFractintTransformations, kParTransformation);
  settings.EntryName = entry;
  settings.Params = std::move(params);
  try {
    transform->ApplyParameters(settings);
  } catch (const ECodeError& e) {
    r.NoteSkipped(e.what());
    return;
  }
  if (!transform->IsEmpty()) layer.Mapping().Transforms().Insert(at, std::move(transform));
}

int TransformIndex(TLayer& layer, const std::string& entry) {
  const TTransformList& list = layer.Mapping().Transforms();
  for (int i = 0; i < list.Count(); ++i)
    if (SameText(list.Item(i).Code().EntryName, entry)) return i;
  return -1;
}

void SetDeclared(TFormulaBase& object, const std::vector<TNamedParamValue>& values) {
  object.BeginUpdate();
  for (const TNamedParamValue& v : values) {
    const int index = object.Params().IndexOfName(v.Name);
    if (index >= 0 && object.Params().Items(index).ParamType() == v.Value.Type)
      object.Params().Items(index).SetValue(v.Value);
  }
  object.EndUpdate();
}

}  // namespace zt
