// SPDX-License-Identifier: MIT
// Reads back the animated GIFs the program writes, with giflib's decoder, and plays them the way a viewer
// does: each frame drawn over the picture at its place, its transparent pixels leaving what was there,
// then disposed of as its graphics control block says. Tests compare the pictures a viewer shows with the
// frames the sign painted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/gdi/image.h"

namespace glimmer::testing {

struct GifPlayback {
  int width = 0;  // the logical screen
  int height = 0;
  std::vector<Pixel> palette;  // the global colour table, all its entries
  int background_index = 0;
  // The NETSCAPE2.0 loop count (0: forever), when the file has the block.
  std::optional<int> loop_count;
  struct Frame {
    int left = 0, top = 0, width = 0, height = 0;  // the rectangle the frame replaces
    int delay = 0;                                 // hundredths of a second
    int disposal = 0;
    int transparent = -1;  // the index of the pixels that leave the picture below, or -1
    Image shown;           // the whole picture a viewer shows while the frame lasts
  };
  std::vector<Frame> frames;
};

// Nothing when giflib cannot read the file, or a frame uses a colour outside its table.
[[nodiscard]] std::optional<GifPlayback> ReadGif(const std::string& path);

// The image drawn `scale` times larger, each pixel a scale x scale square.
[[nodiscard]] Image Enlarged(const Image& image, int scale);

}  // namespace glimmer::testing
