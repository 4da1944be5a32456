// SPDX-License-Identifier: MIT
#include "host/rectangle_shape.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace glimmer {
namespace {

// On/off runs of the dashed styles, in pixels along the outline.
struct DashPattern {
  int on;
  int off;
  bool solid;
};

DashPattern PatternFor(std::int16_t style) {
  switch (style) {
    case 2:
      return {4, 2, false};  // dash
    case 3:
      return {1, 1, false};  // dot
    case 4:
      return {4, 2, false};  // dash-dot, drawn as dashes at this size
    case 5:
      return {2, 2, false};  // dash-dot-dot
    default:
      return {1, 0, true};  // 1 solid, 6 inside solid
  }
}

std::int32_t RoundPixel(float v) {
  if (!std::isfinite(v)) return 0;
  const double r = std::nearbyint(static_cast<double>(v));
  return r < -1e9 ? -1000000000 : r > 1e9 ? 1000000000 : static_cast<std::int32_t>(r);
}

}  // namespace

RectangleShape::RectangleShape(const ShapeDesign& design, OperationFaults* faults)
    : name_(design.name),
      index_(design.index),
      colour_(PixelOf(design.border_color)),
      left_(design.left),
      top_(design.top),
      width_(design.width),
      height_(design.height),
      border_style_(design.border_style),
      faults_(faults) {}

Status RectangleShape::Gate(Operation op) {
  return faults_ ? faults_->Check(op) : Status{};
}

void RectangleShape::Notify() const {
  if (changed) changed();
}

Status RectangleShape::BorderStyle(std::int16_t style) {
  if (auto s = Gate(Operation::ShapeBorderStyle); !s) return s;
  if (style < 0 || style > 6) return Fail(Error::InvalidPropertyValue);
  if (style != border_style_) {
    border_style_ = style;
    Notify();
  }
  return {};
}

Status RectangleShape::Width(float pixels) {
  if (auto s = Gate(Operation::ShapeWidth); !s) return s;
  if (!std::isfinite(pixels) || pixels < 0) return Fail(Error::InvalidPropertyValue);
  if (pixels != width_) {
    width_ = pixels;
    Notify();
  }
  return {};
}

Status RectangleShape::Height(float pixels) {
  if (auto s = Gate(Operation::ShapeHeight); !s) return s;
  if (!std::isfinite(pixels) || pixels < 0) return Fail(Error::InvalidPropertyValue);
  if (pixels != height_) {
    height_ = pixels;
    Notify();
  }
  return {};
}

Rect RectangleShape::bounds() const {
  const std::int32_t x = RoundPixel(left_);
  const std::int32_t y = RoundPixel(top_);
  return Rect{x, y, x + RoundPixel(width_), y + RoundPixel(height_)};
}

void RectangleShape::DrawOnto(const gdi::PixelView& pixels) const {
  const Rect r = bounds();
  if (border_style_ == 0 || r.empty() || !pixels) return;
  const DashPattern dash = PatternFor(border_style_);
  const std::int64_t w = r.width(), h = r.height();
  // `step` is the position along the outline, clockwise from the top-left corner, so that dashes run on
  // around the corners. Every edge is clipped to the pixels first, so a huge rectangle costs no more.
  auto plot = [&](std::int64_t x, std::int64_t y, std::int64_t step) {
    if (dash.solid || step % (dash.on + dash.off) < dash.on)
      pixels.row(static_cast<std::int32_t>(y))[x] = colour_;
  };
  const std::int64_t width = pixels.width, height = pixels.height;
  auto span = [](std::int64_t lo, std::int64_t hi, std::int64_t limit) {
    return std::pair{std::max<std::int64_t>(lo, 0), std::min<std::int64_t>(hi, limit)};
  };
  if (r.top >= 0 && r.top < height)
    for (auto [x, end] = span(r.left, r.right, width); x < end; ++x)
      plot(x, r.top, x - r.left);
  if (r.right - 1 >= 0 && r.right - 1 < width)
    for (auto [y, end] = span(r.top + 1, r.bottom, height); y < end; ++y)
      plot(r.right - 1, y, w + y - r.top - 1);
  if (h > 1 && r.bottom - 1 >= 0 && r.bottom - 1 < height)
    for (auto [x, end] = span(r.left, r.right - 1, width); x < end; ++x)
      plot(x, r.bottom - 1, w + h - 1 + (r.right - 2 - x));
  if (w > 1 && r.left >= 0 && r.left < width)
    for (auto [y, end] = span(r.top + 1, r.bottom - 1, height); y < end; ++y)
      plot(r.left, y, 2 * w + h - 2 + (r.bottom - 2 - y));
}

}  // namespace glimmer
