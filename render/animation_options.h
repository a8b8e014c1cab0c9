// The settings of animated navigation steps, handed to the update manager as a
// value by the document.
#pragma once

namespace zt {

// When navigation steps are animated.
struct TAnimationOptions {
  int Animation = 1;          // 0 never, 1 for single-layer images only, 2 always
  bool LimitAnimSize = true;  // not for images larger than the two limits
  int AnimMaxWidth = 640;
  int AnimMaxHeight = 480;
  int AnimFrames = 8;  // at least 2
};

}  // namespace zt
