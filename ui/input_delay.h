// When text typed into a tool window's field takes effect: after the pause the
// ToolInputDelay setting chooses, or at once when the person presses Enter or
// leaves the field.
#pragma once

#include <QObject>
#include <QTimer>

namespace zt {

// The pause of a ToolInputDelay setting (0 to 5: 0.5, 1, 2, 3, 4, 5 seconds) in
// milliseconds; -1 for 6 ("off": only Enter and leaving the field commit).
int InputDelayMilliseconds(int setting);

// Belongs to one field, on the user-interface thread. The setting is read at each
// keystroke, so a change in the options applies to the next one.
class TInputDelay : public QObject {
  Q_OBJECT

 public:
  explicit TInputDelay(QObject* parent = nullptr);

  // The person typed: the pause starts again.
  void Typed();
  // Commits typing that waits (Enter, focus leaving); nothing when none waits.
  void Flush();
  // Forgets typing that waits, without committing it.
  void Cancel();
  bool Pending() const { return pending_; }

 signals:
  // The typed input is to be applied now.
  void Due();

 private:
  QTimer timer_;
  bool pending_ = false;
};

}  // namespace zt
