// The document a tool window follows: it listens to the document's and its layer
// list's change notifications (chained after their owners' handlers), tells the
// tool when to show the document's values again, and turns the tool's edits into
// undo steps.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "document/fractal.h"
#include "ui/edit_recorder.h"
#include "ui/hook_chain.h"

namespace zt {

// User-interface thread only. The document must stay alive while it is linked:
// its owner links nullptr (or another document) before destroying it.
class TDocumentLink : public QObject {
  Q_OBJECT

 public:
  explicit TDocumentLink(QObject* parent = nullptr);

  TFractal* Fractal() const { return fractal_; }
  // Unhooks from the previous document, hooks to `fractal` (nullptr: none) and
  // asks for a refresh.
  void SetFractal(TFractal* fractal);

  // Runs `change` on the document as one undo step (TEditRecorder::Record) and
  // then emits EditMade. Changes of the document from elsewhere end the merging
  // of consecutive edits. A refresh follows in any case, so that a value the
  // object refused shows as the object's value again. False when the change
  // failed (the error was shown) or there is no document.
  bool Edit(const std::string& field, const std::function<void()>& change);

  // Emits Refresh once control returns to the event loop, however often asked.
  void RequestRefresh();

 signals:
  // The document (or which document) changed: show its values. Never emitted
  // from inside a change of the document, so the tool may rebuild its editors.
  void Refresh();
  void EditMade();

 private:
  TFractal* fractal_ = nullptr;
  TChainedHook<TFractal> document_hook_;
  TChainedHook<TLayerList> layers_hook_;
  TEditRecorder recorder_;
  bool recording_ = false;  // the document changes through Edit
  QTimer refresh_timer_;
};

}  // namespace zt
