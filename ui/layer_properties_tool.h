// The layer properties tool: the document's current layer in sections (formula,
// inside and outside coloring, mapping), every property with an editor of its
// kind and every parameter of the layer's entries with an editor made for it.
#pragma once

#include <QToolBox>
#include <QWidget>

#include "ui/coloring_section.h"
#include "ui/document_link.h"
#include "ui/formula_section.h"
#include "ui/mapping_section.h"

namespace zt {

// User-interface thread only. The document must stay alive while it is set: its
// owner sets nullptr (or another document) before destroying it.
class TLayerPropertiesTool : public QWidget {
  Q_OBJECT

 public:
  explicit TLayerPropertiesTool(QWidget* parent = nullptr);

  // The document whose current layer the tool shows and edits; nullptr: none
  // (the tool is disabled).
  void SetFractal(TFractal* fractal);

  // The sections, in page order.
  enum TPage { kFormulaPage, kInsidePage, kOutsidePage, kMappingPage };
  void ShowPage(TPage page) { pages_.setCurrentIndex(page); }

 signals:
  // After each edit the tool made through the document.
  void EditMade();

 private:
  void Refresh();

  TDocumentLink link_;
  QToolBox pages_;
  TFormulaSection formula_;
  TColoringSection inside_;
  TColoringSection outside_;
  TMappingSection mapping_;
};

}  // namespace zt
