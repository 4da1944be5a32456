// SPDX-License-Identifier: MIT
#include "demo/output/gif_palette.h"

#include <algorithm>
#include <bit>

namespace glimmer {

GifPalette::GifPalette(std::span<const Pixel> colours) {
  for (const Pixel p : colours)
    if (colours_.size() < 256 && std::find(colours_.begin(), colours_.end(), p) == colours_.end())
      colours_.push_back(p);
}

std::optional<std::uint8_t> GifPalette::IndexOf(Pixel pixel) const {
  const auto it = std::find(colours_.begin(), colours_.end(), pixel);
  if (it == colours_.end()) return std::nullopt;
  return static_cast<std::uint8_t>(it - colours_.begin());
}

int GifPalette::bits() const {
  // A table of one colour still takes two entries: GIF has no 1-entry table.
  const auto entries = std::max<std::size_t>(colours_.size(), 2);
  return std::bit_width(std::bit_ceil(entries)) - 1;
}

std::optional<std::uint8_t> GifPalette::spare() const {
  if (colours_.size() >= (std::size_t{1} << bits())) return std::nullopt;
  return static_cast<std::uint8_t>(colours_.size());
}

}  // namespace glimmer
