// How an edit made in a tool window becomes one undo step of the document, and
// how consecutive edits of one field (digits typed in turn, a spin box stepped
// again and again) share the step the first of them made.
#pragma once

#include <functional>
#include <string>

#include "document/fractal.h"

namespace zt {

// The document records the edits itself: recalculating changes and the layer
// changes without a merge identifier start a step, the layer's merging changes
// (opacity, solid colors) share one, and some changes (a layer's visibility and
// caption, the document's text, resolution and gamma) are kept without a step.
//
// Merging is done here for every field alike: an edit of the field edited last
// runs with the history disabled and then replaces the history's current entry,
// provided that entry is still the one the previous edit left (no other change,
// undo or redo came between).
//
// Used on the user-interface thread. The recorder keeps the address of the
// document it recorded last only to compare it; EndMerge forgets it.
class TEditRecorder {
 public:
  // Runs `change` inside one update bracket of `fractal`. `field` names the
  // edited field ("" never merges). An error the change raises is shown to the
  // person (the bracket closed) and the result is false.
  bool Record(TFractal& fractal, const std::string& field, const std::function<void()>& change);
  // The next edit starts a step whatever its field.
  void EndMerge();

 private:
  const TFractal* fractal_ = nullptr;
  std::string field_;
  const void* step_ = nullptr;  // the history entry the last edit left current
};

}  // namespace zt
