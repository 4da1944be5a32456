// SPDX-License-Identifier: MIT
// The kinds of object the drawing layer makes, and how many of each are alive: shared by the object table
// and the accounting that containers and tests read (gdi_host.h).
#pragma once

#include <cstdint>

namespace glimmer::gdi {

enum class ObjectKind { DC, Bitmap, Brush };

struct LiveCounts {
  std::int64_t dcs = 0;
  std::int64_t bitmaps = 0;
  std::int64_t brushes = 0;
  friend bool operator==(const LiveCounts&, const LiveCounts&) = default;
};

}  // namespace glimmer::gdi
