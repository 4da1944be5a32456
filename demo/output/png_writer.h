// SPDX-License-Identifier: MIT
// Writes an Image as an 8-bit RGB PNG (libpng).
#pragma once

#include <string>

#include "demo/output/safe_file.h"
#include "host/base/expected.h"
#include "host/gdi/image.h"

namespace glimmer {

// Writes `image` into `file` (which the caller then commits); on failure says why.
[[nodiscard]] Expected<void, std::string> WritePng(const Image& image, SafeFile& file);

}  // namespace glimmer
