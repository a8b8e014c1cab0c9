// The title that the desktop program shows in the task bar.
//
// Thread safety: a plain function; any thread.
#pragma once

#include <QString>

namespace zt {

// What the active window is, as far as the title cares.
enum class TActiveWindowKind { kOther, kFractal, kDiskRender };

// While the program is minimised and the active window is a fractal or a disk
// render window whose progress text is not "100%", "[" + progress + "] Zentrope";
// otherwise "Zentrope". No active window counts as kOther.
QString ApplicationTitle(bool minimised, TActiveWindowKind active, const QString& progress);

}  // namespace zt
