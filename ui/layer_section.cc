// Editing the current layer from a section of the layer properties tool.
#include "ui/layer_section.h"

#include <cstdint>

#include "formula/language/code.h"

namespace zt {

TLayerSection::TLayerSection(TDocumentLink& link, QWidget* parent) : QWidget(parent), link_(link) {}

TLayer* TLayerSection::Layer() const {
  TFractal* fractal = link_.Fractal();
  if (!fractal || fractal->Layers().Count() == 0) return nullptr;
  return &fractal->CurrentLayer();
}

bool TLayerSection::EditLayer(const std::string& field,
                              const std::function<void(TLayer&)>& change) {
  TLayer* layer = Layer();
  if (!layer) return false;
  // The same field of another layer is another field.
  const std::string key =
      field.empty() ? field : field + "@" + std::to_string(reinterpret_cast<std::uintptr_t>(layer));
  return link_.Edit(key, [&] { change(*layer); });
}

bool TLayerSection::ChooseEntry(TEntryBrowseKind kind, std::string& file_name,
                                std::string& entry_name) {
  if (!UserInterface().BrowseEntry(kind, file_name, entry_name)) return false;
  try {
    TCode code;
    code.LoadFile(file_name);
    code.SelectEntry(entry_name);
  } catch (const EZentrope& error) {
    UserInterface().ShowMessage("Error", error.what(), TMessageKind::kError);
    return false;
  }
  return true;
}

}  // namespace zt
