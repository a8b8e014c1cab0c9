// A rectangle of whole pixels: the image, a calculation piece, an area to redraw.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace zt {

// Right and Bottom are exclusive, so Width and Height need no correction. A
// rectangle whose right is not beyond its left (or bottom beyond top) is empty.
// A plain value; any thread may use its own copies.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  // Pixels covered; 0 for an empty rectangle.
  std::int64_t Area() const { return Empty() ? 0 : std::int64_t{Width()} * std::int64_t{Height()}; }

  // The smallest rectangle holding both; an empty one adds nothing.
  static TRect Union(const TRect& a, const TRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
  }

  friend bool operator==(const TRect&, const TRect&) = default;
};

// Adds `rect` to a list of rectangles waiting to be repainted: it is merged into
// the first entry whose union with it is no larger than the two together, else
// it goes to the head of the list. An empty rectangle adds nothing.
inline void AddUpdateRect(std::vector<TRect>& list, const TRect& rect) {
  if (rect.Empty()) return;
  for (TRect& entry : list) {
    const TRect united = TRect::Union(entry, rect);
    if (united.Area() <= entry.Area() + rect.Area()) {
      entry = united;
      return;
    }
  }
  list.insert(list.begin(), rect);
}

}  // namespace zt
