// The chain of transformations of the current layer's mapping: the list in
// calculation order with each one's enabled flag, adding (through the entry
// browser), removing and moving, and the editors of the selected
// transformation's parameters and functions.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <vector>

#include "ui/layer_section.h"
#include "ui/param_editors.h"

namespace zt {

// User-interface thread only.
class TTransformChain : public TLayerSection {
  Q_OBJECT

 public:
  TTransformChain(TDocumentLink& link, QWidget* parent = nullptr);

  void ShowLayer(const TLayer* layer) override;

 private:
  // Runs `change` on transformation `index`, provided it is still the one
  // shown there. The layer's calculation runs the transformations' code, which
  // a change replaces, and the layer does not watch the transformations
  // themselves: it is stopped first and calculates again afterwards.
  void EditTransform(int index, const std::string& field,
                     const std::function<void(TTransform&)>& change);
  void Add();
  void Remove();
  void MoveBy(int offset);
  void Selected();
  void UpdateButtons();

  QListWidget list_;
  QPushButton add_;
  QPushButton remove_;
  QToolButton up_;
  QToolButton down_;
  TParamEditors params_;
  // The transformations listed, for telling whether a row still shows its object.
  std::vector<const TTransform*> shown_;
  std::string last_file_;  // where the browser starts
  int select_row_ = -1;    // the row to select when the list shows next
};

}  // namespace zt
