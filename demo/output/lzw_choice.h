// SPDX-License-Identifier: MIT
// Chooses the pixels of a frame that a viewer shows alike whether they are drawn or left transparent (the
// pixels that did not change since the frame before) so that giflib's LZW coder sends few codes: at each
// such pixel, the value that goes on with the string the coder is matching, or else starts the longest
// string the coder's table holds, looking some pixels ahead; transparent when both do equally well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glimmer {

// The chosen pixels, and the bytes giflib will write for them (LzwModel::Finish).
struct LzwChoice {
  std::vector<std::uint8_t> pixels;
  std::size_t bytes = 0;
};

// `pixels` are the frame's colours, row after row; where `free` is not 0 the pixel may instead be
// `transparent`. `palette_bits` is the size of the colour table, as for LzwModel.
[[nodiscard]] LzwChoice ChooseForLzw(const std::vector<std::uint8_t>& pixels,
                                     const std::vector<std::uint8_t>& free, std::uint8_t transparent,
                                     int palette_bits);

}  // namespace glimmer
