// SPDX-License-Identifier: MIT
// Turns the sign's frames, one per tick, into the frames of an animated GIF.
//
// Pixels: every frame is the control's picture (W x 32 with its rings) in the recording's palette, each
// pixel drawn as a scale x scale square, so the dots stay sharp. The first frame covers the whole picture;
// every later one a rectangle that holds the pixels that changed since the frame before (one pixel, left
// transparent when the palette allows, when nothing changed, so that every tick keeps its own frame). A
// decoder that draws each frame over the last therefore shows exactly the sign's frames.
//
// Size: each later frame is planned by GifFramePlanner, which may widen the rectangle by a few columns and
// leave pixels that did not change transparent, whichever makes the fewest bytes. The first frame is
// drawn whole: before it, viewers differ in what they show.
//
// Timing: a frame is shown from the time of its tick until the time of the next tick (the virtual clock's
// milliseconds). GIF counts hundredths of a second, so both times are rounded to the nearest hundredth
// (halves up) and the frame lasts the difference: a 50 ms sign gets 5 every frame, a 33 ms sign 3, 3, 4,
// ..., which keeps the animation as long as the run. Browsers and most viewers play a delay of 0 or 1
// hundredth as 10, so no frame gets less than 2: a sign faster than 20 ms per tick plays slower than live.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "demo/output/gif_encoder.h"
#include "demo/output/gif_frame_planner.h"
#include "demo/output/gif_palette.h"
#include "host/base/expected.h"
#include "host/gdi/image.h"

namespace glimmer {

class GifAnimation {
 public:
  static constexpr int kShortestDelay = 2;  // hundredths of a second

  // A picture of width x height control pixels, shown scale times larger, written into `sink` as it is
  // coded: each frame once the next one comes (its delay is known then), the last one at Finish.
  GifAnimation(std::int32_t width, std::int32_t height, GifPalette palette, int scale, bool loop_forever,
               GifSink sink);

  // The frame of a tick that ran at `time` milliseconds. Times must not decrease.
  [[nodiscard]] Expected<void, std::string> Add(const Image& frame, std::int64_t time);
  // Ends the animation at `end` milliseconds (when the last frame gives way): the file's last bytes.
  [[nodiscard]] Expected<void, std::string> Finish(std::int64_t end);

  // A frame's delay in hundredths of a second, from the times it starts and ends.
  [[nodiscard]] static int Delay(std::int64_t start, std::int64_t end);
  [[nodiscard]] std::int64_t frames() const { return frames_; }

 private:
  using Indexes = std::vector<std::uint8_t>;

  [[nodiscard]] Expected<Indexes, std::string> ToIndexes(const Image& frame) const;
  // The box of the pixels that differ from what a viewer shows (all of them before the first frame);
  // empty when none do.
  [[nodiscard]] GifBox Changed(const Indexes& next) const;
  // The frame of a tick that changed nothing: one pixel that shows what it showed.
  [[nodiscard]] GifFrame Still() const;
  [[nodiscard]] Expected<void, std::string> EmitPending(std::int64_t end);

  std::int32_t width_;
  std::int32_t height_;
  GifPalette palette_;
  int scale_;
  GifEncoder encoder_;
  std::optional<Indexes> shown_;  // what a viewer shows after the frames emitted so far
  Indexes pending_;               // the latest frame, emitted once its end is known
  std::int64_t pending_time_ = 0;
  bool has_pending_ = false;
  std::int64_t frames_ = 0;
};

}  // namespace glimmer
