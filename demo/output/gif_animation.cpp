// SPDX-License-Identifier: MIT
#include "demo/output/gif_animation.h"

#include <algorithm>
#include <utility>

#include "host/base/try.h"

namespace glimmer {
namespace {

std::int64_t Hundredths(std::int64_t milliseconds) {
  return (milliseconds + 5) / 10;
}

}  // namespace

GifAnimation::GifAnimation(std::int32_t width, std::int32_t height, GifPalette palette, int scale,
                           bool loop_forever, GifSink sink)
    : width_(width),
      height_(height),
      palette_(std::move(palette)),
      scale_(scale),
      encoder_(width * scale, height * scale, palette_, loop_forever, std::move(sink)) {}

int GifAnimation::Delay(std::int64_t start, std::int64_t end) {
  const std::int64_t delay = Hundredths(end) - Hundredths(start);
  return static_cast<int>(std::clamp<std::int64_t>(delay, kShortestDelay, 65535));
}

Expected<void, std::string> GifAnimation::Add(const Image& frame, std::int64_t time) {
  if (frame.width != width_ || frame.height != height_)
    return Unexpected<std::string>("a frame changed its size");
  Indexes indexes = TRY(ToIndexes(frame));
  if (has_pending_) TRY(EmitPending(time));
  pending_ = std::move(indexes);
  pending_time_ = time;
  has_pending_ = true;
  return {};
}

Expected<void, std::string> GifAnimation::Finish(std::int64_t end) {
  if (has_pending_) TRY(EmitPending(end));
  return encoder_.Finish();
}

Expected<GifAnimation::Indexes, std::string> GifAnimation::ToIndexes(const Image& frame) const {
  Indexes indexes(frame.pixels.size());
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const auto index = palette_.IndexOf(frame.pixels[i]);
    if (!index) return Unexpected<std::string>("a frame holds a colour outside the recording's palette");
    indexes[i] = *index;
  }
  return indexes;
}

GifBox GifAnimation::Changed(const Indexes& next) const {
  if (!shown_) return {0, 0, width_, height_};
  GifBox box{width_, height_, 0, 0};
  for (std::int32_t y = 0; y < height_; ++y)
    for (std::int32_t x = 0; x < width_; ++x) {
      const auto i =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
      if (next[i] == (*shown_)[i]) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
  return box;
}

GifFrame GifAnimation::Still() const {
  const auto transparent = palette_.spare();
  if (!transparent) return GifFrame{.width = 1, .height = 1, .indexes = {pending_[0]}};
  return GifFrame{.width = 1, .height = 1, .indexes = {*transparent}, .transparent = *transparent};
}

Expected<void, std::string> GifAnimation::EmitPending(std::int64_t end) {
  // The first frame covers the whole picture, drawn: the planner sees nothing changed in it.
  const GifPictures pictures{.shown = shown_ ? *shown_ : pending_,
                             .next = pending_,
                             .width = width_,
                             .height = height_,
                             .scale = scale_};
  const GifBox changed = Changed(pending_);
  GifFrame frame =
      changed.left < changed.right
          ? GifFramePlanner(pictures, changed, palette_.bits()).Plan(shown_ ? palette_.spare() : std::nullopt)
          : Still();
  frame.delay = Delay(pending_time_, end);
  if (auto added = encoder_.Add(frame); !added) return added;
  shown_ = std::move(pending_);
  has_pending_ = false;
  ++frames_;
  return {};
}

}  // namespace glimmer
