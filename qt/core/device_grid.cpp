// SPDX-License-Identifier: MIT
// DeviceGrid: the frame on device pixels at a fractional ratio, the dots on a grid of constant pitch.
#include "qt/core/device_grid.h"

#include <algorithm>
#include <cmath>

namespace glimmer::qt {
namespace {

// A ratio from the environment (1.25 read as a double) may be a hair off its decimal value.
constexpr qreal kSlack = 1e-6;

}  // namespace

bool DeviceGrid::Whole(qreal ratio) {
  return std::abs(ratio - std::round(ratio)) < kSlack && ratio >= 1 - kSlack;
}

int DeviceGrid::DeviceLength(int length, qreal ratio) {
  return static_cast<int>(std::floor(length * ratio + kSlack));
}

std::vector<int> DeviceGrid::Axis(int length, qreal ratio) {
  const int device = DeviceLength(length, ratio);
  std::vector<int> map(static_cast<std::size_t>(std::max(device, 0)));
  const int pitch = std::max(3, static_cast<int>(std::floor(3 * ratio + kSlack)));
  const int gap = std::max(1, static_cast<int>(std::lround(pitch / 3.0)));
  const int dot = pitch - gap;
  const int ring = gap;
  const int dots = (length - 2) / 3 - 1;  // m - 1 for a length of 3m + 2
  // Too small for two rings and a dot on each side: nearest, as there is no grid to keep even.
  if (dots < 1 || device < 4 * ring + gap + dot) {
    for (int d = 0; d < device; ++d)
      map[static_cast<std::size_t>(d)] = std::min(length - 1, static_cast<int>(d / ratio));
    return map;
  }
  auto fill = [&](int from, int to, int control) {
    for (int d = std::max(from, 2 * ring); d < std::min(to, device - 2 * ring); ++d)
      map[static_cast<std::size_t>(d)] = control;
  };
  // The window between the rings: the free pixels beside the rings where the grid does not reach.
  const int window = device - 4 * ring;
  const int grid = gap + dots * pitch;
  const int origin = 2 * ring + (window - grid) / 2;
  fill(2 * ring, origin + gap, 2);
  for (int k = 0; k < dots; ++k) {
    const int start = origin + gap + k * pitch;
    const int control = 3 + 3 * k;
    // A dot's two control pixels share its device pixels, the first half to the first.
    fill(start, start + dot / 2, control);
    fill(start + dot / 2, start + dot, control + 1);
    fill(start + dot, start + pitch, control + 2);
  }
  fill(origin + grid, device, length - 3);
  for (int d = 0; d < ring; ++d) {
    map[static_cast<std::size_t>(d)] = 0;
    map[static_cast<std::size_t>(ring + d)] = 1;
    map[static_cast<std::size_t>(device - 2 * ring + d)] = length - 2;
    map[static_cast<std::size_t>(device - ring + d)] = length - 1;
  }
  return map;
}

QImage DeviceGrid::Lay(const QImage& frame, qreal ratio) {
  const std::vector<int> xs = Axis(frame.width(), ratio);
  const std::vector<int> ys = Axis(frame.height(), ratio);
  QImage device(static_cast<int>(xs.size()), static_cast<int>(ys.size()), QImage::Format_RGB32);
  const QImage source = frame.convertToFormat(QImage::Format_RGB32);
  for (std::size_t y = 0; y < ys.size(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(ys[y]));
    auto* out = reinterpret_cast<QRgb*>(device.scanLine(static_cast<int>(y)));
    for (std::size_t x = 0; x < xs.size(); ++x)
      out[x] = in[xs[x]];
  }
  device.setDevicePixelRatio(ratio);
  return device;
}

}  // namespace glimmer::qt
