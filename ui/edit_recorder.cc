// Recording tool edits as undo steps of the document.
#include "ui/edit_recorder.h"

#include "platform/user_interface.h"

namespace zt {

namespace {

// Keeps the history off for the merged edit, also when the edit fails.
class THistoryPause {
 public:
  THistoryPause(THistoryList<TFractalSnapshot>& history, bool pause)
      : history_(history), paused_(pause) {
    if (paused_) history_.SetEnabled(false);
  }
  ~THistoryPause() {
    if (paused_) history_.SetEnabled(true);
  }
  THistoryPause(const THistoryPause&) = delete;
  THistoryPause& operator=(const THistoryPause&) = delete;

 private:
  THistoryList<TFractalSnapshot>& history_;
  bool paused_;
};

}  // namespace

bool TEditRecorder::Record(TFractal& fractal, const std::string& field,
                           const std::function<void()>& change) {
  THistoryList<TFractalSnapshot>& history = fractal.History();
  const bool merge = !field.empty() && field == field_ && &fractal == fractal_ &&
                     &history.Current() == step_ && !history.CanRedo();
  bool done = true;
  {
    THistoryPause pause(history, merge);
    fractal.BeginUpdate();
    try {
      change();
    } catch (const EZentrope& error) {
      done = false;
      fractal.EndUpdate();
      UserInterface().ShowMessage("Error", error.what(), TMessageKind::kError);
    }
    if (done) fractal.EndUpdate();
  }
  // The merged edit's state takes the place of the step it joins.
  if (merge && done) fractal.Changed(false);
  fractal_ = &fractal;
  field_ = done ? field : std::string();
  step_ = &history.Current();
  return done;
}

void TEditRecorder::EndMerge() {
  fractal_ = nullptr;
  field_.clear();
  step_ = nullptr;
}

}  // namespace zt
