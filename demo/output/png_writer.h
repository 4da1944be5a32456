// Writes an Image as an 8-bit RGB PNG (libpng).
#pragma once

#include <string>

#include "host/gdi/image.h"

namespace glimmer {

// Writes `image` to `path`; on failure returns false and says why in `error`.
[[nodiscard]] bool WritePng(const Image& image, const std::string& path, std::string* error);

}  // namespace glimmer
