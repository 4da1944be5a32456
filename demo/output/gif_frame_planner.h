// SPDX-License-Identifier: MIT
// Plans a frame of an animated GIF that draws the next picture over the one a viewer shows: the rectangle
// it covers and the pixels it holds, chosen by the bytes giflib will write for it, which LzwModel counts
// exactly before anything is written.
//
// The rectangle must hold every pixel that changed. Inside it, a pixel that did not change may be drawn in
// its colour or, when the colour table has an entry to spare, left transparent. The planner weighs:
//   - the smallest rectangle, every pixel drawn (the frame as it would be without transparency);
//   - that rectangle and others up to a few columns wider on either side, every unchanged pixel
//     transparent: a picture that repeats across (the sign's dots on their 3-pixel pitch) codes into fewer
//     strings when the rectangle's width lets its rows line up;
//   - on the best two of those, and on the smallest, the unchanged pixels chosen one by one for the coder
//     (ChooseForLzw);
// and keeps the smallest, the first of equals. A frame of more than kLargeFrame pixels (a wide sign,
// drawn large) is only weighed drawn and with every unchanged pixel transparent, in the smallest
// rectangle: the search costs about a hundred times the coding, which long recordings of wide signs
// should not wait for.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "demo/output/gif_encoder.h"

namespace glimmer {

// A box of picture pixels; right and bottom exclusive.
struct GifBox {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The picture a viewer shows and the next one, as palette indexes row after row, each width x height
// picture pixels, drawn `scale` times larger.
struct GifPictures {
  const std::vector<std::uint8_t>& shown;
  const std::vector<std::uint8_t>& next;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int scale = 1;
};

class GifFramePlanner {
 public:
  static constexpr std::size_t kLargeFrame = 32768;

  // `changed` holds every pixel in which the pictures differ; `palette_bits` as for LzwModel.
  GifFramePlanner(const GifPictures& pictures, GifBox changed, int palette_bits);

  // The smallest frame found, its delay left at 0; `transparent` is the table entry that marks transparent
  // pixels, if there is one.
  [[nodiscard]] GifFrame Plan(std::optional<std::uint8_t> transparent) const;

 private:
  // Scaled columns [left, right) over the changed rows.
  struct Span {
    std::int32_t left = 0, right = 0;
    friend bool operator==(const Span&, const Span&) = default;
  };
  struct Sized {
    Span span;
    std::size_t bytes = 0;
  };

  // The part of a picture over the widest span that is cut to `span`, row after row.
  [[nodiscard]] std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& widest, Span span) const;
  // Every span from the smallest to a few columns wider on each side, smallest `cleared` frame first.
  [[nodiscard]] std::vector<Sized> Widths(const std::vector<std::uint8_t>& cleared) const;
  [[nodiscard]] GifFrame Framed(Span span, std::vector<std::uint8_t> indexes) const;

  int bits_;
  Span smallest_;
  Span widest_;
  std::int32_t top_, bottom_;            // scaled rows
  std::vector<std::uint8_t> colours_;    // over the widest span, row after row
  std::vector<std::uint8_t> unchanged_;  // 1 where a pixel shows the same as before
};

}  // namespace glimmer
