// SPDX-License-Identifier: MIT
// Reads back the PNG files the program writes, with the format they were written in.
#pragma once

#include <optional>
#include <string>

#include "host/gdi/image.h"

namespace glimmer::testing {

struct PngFile {
  Image image;
  int bit_depth = 0;
  int color_type = 0;  // libpng's PNG_COLOR_TYPE_*; 2 is RGB
};

// Nothing when the file cannot be read as a PNG.
[[nodiscard]] std::optional<PngFile> ReadPng(const std::string& path);

}  // namespace glimmer::testing
