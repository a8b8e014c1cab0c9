// Copying and pasting the document's parts through parameter text.
#include "document/fractal_clipboard.h"

#include "document/params/entry_section.h"
#include "document/params/gradient_section.h"
#include "document/params/layer_section.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

// Replaces the document with the fractal `r` stands on; the override settings
// win over the text's size, resolution and gamma.
void PasteFractal(TFractal& fractal, TParReader& r) {
  const TConfigManager& config = ConfigManager();
  // LoadFromParameters reads the entry from its start.
  r.ResetToBody();
  fractal.BeginUpdate();
  try {
    if (config.OverrideSize) {
      fractal.SetWidth(config.DefaultImageWidth);
      fractal.SetHeight(config.DefaultImageHeight);
    }
    fractal.LoadFromParameters(r, config.OverrideSize);
    if (config.OverrideResolution)
      fractal.SetResolution(static_cast<double>(config.DefaultImageResolution));
    if (config.OverrideGamma) fractal.SetGamma(static_cast<double>(config.DefaultImageGamma));
  } catch (...) {
    fractal.EndUpdate();
    throw;
  }
  fractal.EndUpdate();
}

void PasteLayer(TFractal& fractal, TParReader& r) {
  std::unique_ptr<TLayer> layer = fractal.NewLayer();
  ReadLayer(r, *layer);
  const int index = fractal.CurrentIndex();
  fractal.AppendLayer(std::move(layer));
  // Like AddLayer: the new layer takes the current index, so it is current.
  fractal.MoveLayer(fractal.Layers().Count() - 1, index);
}

void PasteIntoLayer(TFractal& fractal, TDocumentPart part, TParReader& r) {
  TLayer& layer = fractal.CurrentLayer();
  std::string title;
  switch (part) {
    case TDocumentPart::kLocation: return ReadLocation(r, layer.Mapping());
    case TDocumentPart::kTransformation:
      if (std::unique_ptr<TTransform> transform = ReadTransform(r))
        layer.Mapping().Transforms().Add(std::move(transform));
      return;
    case TDocumentPart::kFormula: return ReadFormula(r, layer.Formula());
    case TDocumentPart::kInsideColoring: return ReadColoring(r, layer.InsideColoring());
    case TDocumentPart::kOutsideColoring: return ReadColoring(r, layer.OutsideColoring());
    // Gradient and alpha channel changes only repaint; a paste is an edit of
    // the document all the same, which its undo history should hold.
    case TDocumentPart::kGradient:
      ReadGradient(r, layer.Gradient(), &title);
      return fractal.Changed(true);
    case TDocumentPart::kAlphaChannel:
      ReadAlphaChannel(r, layer.AlphaChannel(), &title);
      return fractal.Changed(true);
    case TDocumentPart::kFractal:
    case TDocumentPart::kLayer: break;
  }
}

}  // namespace

TClipboardKind ClipboardKindOf(TDocumentPart part) {
  switch (part) {
    case TDocumentPart::kFractal: return TClipboardKind::kFractal;
    case TDocumentPart::kLayer: return TClipboardKind::kLayer;
    case TDocumentPart::kLocation: return TClipboardKind::kLocation;
    case TDocumentPart::kTransformation: return TClipboardKind::kTransformation;
    case TDocumentPart::kFormula: return TClipboardKind::kFormula;
    case TDocumentPart::kInsideColoring:
    case TDocumentPart::kOutsideColoring: return TClipboardKind::kColoring;
    case TDocumentPart::kGradient: return TClipboardKind::kGradient;
    case TDocumentPart::kAlphaChannel: break;
  }
  return TClipboardKind::kAlphaChannel;
}

std::string CopyPart(TFractal& fractal, TDocumentPart part) {
  TLayer& layer = fractal.CurrentLayer();
  const std::string& caption = layer.Caption();
  switch (part) {
    case TDocumentPart::kFractal: {
      const std::string title = fractal.Title();
      return ClipboardText(title, [&](TParWriter& w) { fractal.SaveToParameters(w, &title); });
    }
    case TDocumentPart::kLayer:
      return ClipboardText(caption, [&](TParWriter& w) { WriteLayer(w, layer); });
    case TDocumentPart::kLocation:
      return ClipboardText(caption, [&](TParWriter& w) { WriteLocation(w, layer.Mapping()); });
    case TDocumentPart::kTransformation: {
      const TTransformList& transforms = layer.Mapping().Transforms();
      if (transforms.Count() == 0) return "";
      TTransform& transform = transforms.Item(transforms.Count() - 1);
      return ClipboardText(transform.Title(), [&](TParWriter& w) { WriteTransform(w, transform); });
    }
    case TDocumentPart::kFormula:
      return ClipboardText(layer.Formula().Title(),
                           [&](TParWriter& w) { WriteFormula(w, layer.Formula()); });
    case TDocumentPart::kInsideColoring:
    case TDocumentPart::kOutsideColoring: {
      TColoring& coloring =
          part == TDocumentPart::kInsideColoring ? layer.InsideColoring() : layer.OutsideColoring();
      return ClipboardText(coloring.Title(), [&](TParWriter& w) { WriteColoring(w, coloring); });
    }
    case TDocumentPart::kGradient:
      return ClipboardText(caption,
                           [&](TParWriter& w) { WriteGradient(w, layer.Gradient(), &caption); });
    case TDocumentPart::kAlphaChannel: break;
  }
  return ClipboardText(
      caption, [&](TParWriter& w) { WriteAlphaChannel(w, layer.AlphaChannel(), &caption); });
}

bool PastePart(TFractal& fractal, TDocumentPart part, const std::string& text) {
  TParReader r;
  if (!OpenClipboardText(r, text, ClipboardKindOf(part))) return false;
  if (part == TDocumentPart::kFractal) {
    PasteFractal(fractal, r);
    return true;
  }
  fractal.BeginUpdate();
  try {
    if (part == TDocumentPart::kLayer)
      PasteLayer(fractal, r);
    else
      PasteIntoLayer(fractal, part, r);
  } catch (...) {
    fractal.EndUpdate();
    throw;
  }
  fractal.EndUpdate();
  return true;
}

}  // namespace zt
