// SPDX-License-Identifier: MIT
#include "demo/output/gif_frame_planner.h"

#include <algorithm>
#include <utility>

#include "demo/output/lzw_choice.h"
#include "demo/output/lzw_model.h"

namespace glimmer {
namespace {

// How many scaled columns a rectangle may grow by on each side: enough to line its rows up with a pattern
// three pixels wide (the sign's dot pitch) at scales 1 and 2; at most 49 rectangles are weighed.
int Widening(int scale) {
  return std::min(3 * scale, 6);
}

}  // namespace

GifFramePlanner::GifFramePlanner(const GifPictures& pictures, GifBox changed, int palette_bits)
    : bits_(palette_bits),
      smallest_{changed.left * pictures.scale, changed.right * pictures.scale},
      widest_{std::max(smallest_.left - Widening(pictures.scale), 0),
              std::min(smallest_.right + Widening(pictures.scale), pictures.width * pictures.scale)},
      top_(changed.top * pictures.scale),
      bottom_(changed.bottom * pictures.scale) {
  const auto width = static_cast<std::size_t>(widest_.right - widest_.left);
  colours_.resize(width * static_cast<std::size_t>(bottom_ - top_));
  unchanged_.resize(colours_.size());
  // Each row of the pictures once, `scale` times wider, then copied to the scale - 1 rows below it.
  const int scale = pictures.scale;
  for (std::int32_t y = top_; y < bottom_; y += scale) {
    const auto row = static_cast<std::size_t>(y / scale) * static_cast<std::size_t>(pictures.width);
    const auto out = static_cast<std::size_t>(y - top_) * width;
    for (std::int32_t x = widest_.left; x < widest_.right; ++x) {
      const auto i = row + static_cast<std::size_t>(x / scale);
      const auto o = out + static_cast<std::size_t>(x - widest_.left);
      colours_[o] = pictures.next[i];
      unchanged_[o] = pictures.next[i] == pictures.shown[i] ? 1 : 0;
    }
    for (std::size_t repeat = 1; repeat < static_cast<std::size_t>(scale); ++repeat) {
      std::copy_n(colours_.begin() + static_cast<std::ptrdiff_t>(out), width,
                  colours_.begin() + static_cast<std::ptrdiff_t>(out + repeat * width));
      std::copy_n(unchanged_.begin() + static_cast<std::ptrdiff_t>(out), width,
                  unchanged_.begin() + static_cast<std::ptrdiff_t>(out + repeat * width));
    }
  }
}

std::vector<std::uint8_t> GifFramePlanner::Cut(const std::vector<std::uint8_t>& widest, Span span) const {
  const auto stride = static_cast<std::ptrdiff_t>(widest_.right - widest_.left);
  const auto width = static_cast<std::ptrdiff_t>(span.right - span.left);
  std::vector<std::uint8_t> cut;
  cut.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(bottom_ - top_));
  for (std::ptrdiff_t row = span.left - widest_.left; row < std::ssize(widest); row += stride)
    cut.insert(cut.end(), widest.begin() + row, widest.begin() + row + width);
  return cut;
}

std::vector<GifFramePlanner::Sized> GifFramePlanner::Widths(const std::vector<std::uint8_t>& cleared) const {
  const auto stride = static_cast<std::size_t>(widest_.right - widest_.left);
  LzwModel model(bits_);
  std::vector<Sized> sized;
  for (std::int32_t left = smallest_.left; left >= widest_.left; --left)
    for (std::int32_t right = smallest_.right; right <= widest_.right; ++right) {
      model.Reset();
      for (auto row = static_cast<std::size_t>(left - widest_.left); row < cleared.size(); row += stride)
        for (std::size_t i = row; i < row + static_cast<std::size_t>(right - left); ++i)
          model.Put(cleared[i]);
      sized.push_back({{left, right}, model.Finish()});
    }
  // The smallest first; among equals the narrower, then the one found first.
  std::stable_sort(sized.begin(), sized.end(), [](const Sized& a, const Sized& b) {
    return a.bytes < b.bytes ||
           (a.bytes == b.bytes && a.span.right - a.span.left < b.span.right - b.span.left);
  });
  return sized;
}

GifFrame GifFramePlanner::Framed(Span span, std::vector<std::uint8_t> indexes) const {
  return GifFrame{.left = span.left,
                  .top = top_,
                  .width = span.right - span.left,
                  .height = bottom_ - top_,
                  .indexes = std::move(indexes)};
}

GifFrame GifFramePlanner::Plan(std::optional<std::uint8_t> transparent) const {
  GifFrame best = Framed(smallest_, Cut(colours_, smallest_));
  if (!transparent) return best;
  std::size_t best_bytes = LzwModel::Bytes(best.indexes, bits_);
  const auto consider = [&](Span span, std::vector<std::uint8_t> indexes, std::size_t bytes) {
    if (bytes >= best_bytes) return;
    best = Framed(span, std::move(indexes));
    best.transparent = *transparent;
    best_bytes = bytes;
  };
  std::vector<std::uint8_t> cleared = colours_;
  for (std::size_t i = 0; i < cleared.size(); ++i)
    if (unchanged_[i] != 0) cleared[i] = *transparent;
  if (best.indexes.size() > kLargeFrame) {
    std::vector<std::uint8_t> pixels = Cut(cleared, smallest_);
    const std::size_t bytes = LzwModel::Bytes(pixels, bits_);
    consider(smallest_, std::move(pixels), bytes);
    return best;
  }
  const std::vector<Sized> widths = Widths(cleared);
  consider(widths.front().span, Cut(cleared, widths.front().span), widths.front().bytes);
  std::vector<Span> chosen{smallest_};
  for (std::size_t i = 0; i < std::min<std::size_t>(widths.size(), 2); ++i)
    if (widths[i].span != smallest_) chosen.push_back(widths[i].span);
  for (const Span span : chosen) {
    LzwChoice choice = ChooseForLzw(Cut(colours_, span), Cut(unchanged_, span), *transparent, bits_);
    consider(span, std::move(choice.pixels), choice.bytes);
  }
  return best;
}

}  // namespace glimmer
