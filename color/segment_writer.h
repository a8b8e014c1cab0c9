// The table writers behind gradients and alpha channels: one channel byte of a
// segment of the convert table, linear or smooth, and the rotation of channel
// bytes around the gradient ring through the temporary table. Writes wrap
// modulo 51,200 entries.
#pragma once

#include <cstdint>

#include "color/color_types.h"

namespace zt {

using TChannel = uint8_t TColorEntry::*;

// Writes the run from entry 128 xa to 128 xb (wrapping past the ring's end; a
// run with xb <= xa goes all the way round) by exact 32-bit fraction stepping
// from ca toward cb. The run's end entry is the next segment's start and is
// written only when `include_end` is set (the ring's last segment).
void WriteLinearChannel(TColorEntry* table, TChannel channel, int xa, int xb, int ca, int cb,
                        bool include_end);

// The four indices and channel values around a smooth segment from A to B, with
// P before A and Q after B on the ring (not yet unwrapped).
struct TSmoothSpan {
  int Xp, Xa, Xb, Xq;
  int Cp, Ca, Cb, Cq;
};

// Writes the Bezier segment from A to B whose inner control values lie between
// ca and cb, so it never overshoots. `samples_per_index` is 64 for colors (each
// second entry is the average of its neighbours) or 128 for opacity (every entry
// sampled). The end entry is written only with `include_end`.
void WriteSmoothChannel(TColorEntry* table, TChannel channel, TSmoothSpan span,
                        int samples_per_index, bool include_end);

// Rotates the given channels of the 51,200 gradient entries by `delta` indices
// (-199 to 200), saving the entries that fall off one end in `temporary`.
void RotateChannels(TColorEntry* table, TColorEntry* temporary, int delta, const TChannel* channels,
                    int channel_count);

}  // namespace zt
