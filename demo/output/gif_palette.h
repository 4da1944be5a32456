// SPDX-License-Identifier: MIT
// The colour table of a recording: the few colours the sign can paint, each once, in the order given, and
// the lookup from a pixel to its index. GIF tables hold a power of two of entries (2 to 256); the entries
// beyond the colours repeat the first one and are never drawn: the first of them, when there is one, marks
// the pixels a frame leaves transparent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "host/gdi/colour.h"

namespace glimmer {

class GifPalette {
 public:
  // At most 256 colours; later repeats of a colour are dropped.
  explicit GifPalette(std::span<const Pixel> colours);

  [[nodiscard]] std::optional<std::uint8_t> IndexOf(Pixel pixel) const;
  [[nodiscard]] const std::vector<Pixel>& colours() const { return colours_; }
  // The table holds 2^bits entries, 1 <= bits <= 8.
  [[nodiscard]] int bits() const;
  // The first entry of the table that holds no colour, when the colours leave one.
  [[nodiscard]] std::optional<std::uint8_t> spare() const;

 private:
  std::vector<Pixel> colours_;
};

}  // namespace glimmer
