// The common ground of the layer properties tool's sections: each shows a part
// of the document's current layer and changes it through the document link, one
// undo step per edit.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "platform/user_interface.h"
#include "ui/document_link.h"

namespace zt {

// User-interface thread only. The link must outlive the section.
class TLayerSection : public QWidget {
  Q_OBJECT

 public:
  TLayerSection(TDocumentLink& link, QWidget* parent);

  // Shows the values of `layer` (nullptr: no document; the editors empty).
  virtual void ShowLayer(const TLayer* layer) = 0;

 protected:
  // The document's current layer, or null without a document.
  TLayer* Layer() const;
  // Runs `change` on the current layer as one undo step. Consecutive edits with
  // the same `field` ("" never merges) of the same layer share one step.
  bool EditLayer(const std::string& field, const std::function<void(TLayer&)>& change);
  // Lets the person pick an entry of `kind`, starting at `file_name`; true with
  // both names set when one was picked that can be read (else the reason was
  // shown), so that a failed choice leaves the layer as it was.
  static bool ChooseEntry(TEntryBrowseKind kind, std::string& file_name, std::string& entry_name);

  TDocumentLink& link_;
};

}  // namespace zt
