// The tool windows' link to their document.
#include "ui/document_link.h"

#include <QScopedValueRollback>

namespace zt {

TDocumentLink::TDocumentLink(QObject* parent) : QObject(parent) {
  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(0);
  connect(&refresh_timer_, &QTimer::timeout, this, &TDocumentLink::Refresh);
}

void TDocumentLink::SetFractal(TFractal* fractal) {
  if (fractal != fractal_) {
    document_hook_.Unhook();
    layers_hook_.Unhook();
    recorder_.EndMerge();
    fractal_ = fractal;
    if (fractal_) {
      document_hook_.Hook(fractal_->OnChange, [this] {
        // A change from elsewhere (undo, another tool, navigation) ends the
        // merging of this tool's edits.
        if (!recording_) recorder_.EndMerge();
        RequestRefresh();
      });
      layers_hook_.Hook(fractal_->Layers().OnChange, [this] { RequestRefresh(); });
    }
  }
  RequestRefresh();
}

bool TDocumentLink::Edit(const std::string& field, const std::function<void()>& change) {
  if (!fractal_) return false;
  bool done = false;
  {
    const QScopedValueRollback<bool> recording(recording_, true);
    done = recorder_.Record(*fractal_, field, change);
  }
  RequestRefresh();
  if (done) emit EditMade();
  return done;
}

void TDocumentLink::RequestRefresh() {
  if (!refresh_timer_.isActive()) refresh_timer_.start();
}

}  // namespace zt
