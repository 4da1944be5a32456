// SPDX-License-Identifier: MIT
#include "control/geometry/size_rule.h"

#include <cmath>

#include "control/geometry/led_design.h"
#include "host/base/checked_math.h"
#include "host/base/try.h"

namespace glimmer {
namespace {

// A product or difference stored as single precision; a non-finite result is a floating-point fault.
Result<float> Single(double v) {
  const auto f = static_cast<float>(v);
  if (!std::isfinite(v) || !std::isfinite(f)) return Fail(Error::Overflow);
  return f;
}

Status SizeShape(Container& container, std::int16_t index, float inset) {
  const auto shape = TRY(container.ShapeChild(kShapeBorder, index));
  const auto width = TRY(container.ScaleWidth());
  const auto w = TRY(Single(static_cast<double>(width - inset)));
  if (auto s = shape->Width(w); !s) return s;
  const auto height = TRY(container.ScaleHeight());
  const auto h = TRY(Single(static_cast<double>(height - inset)));
  return shape->Height(h);
}

}  // namespace

Status ApplySizeRule(Container& container) {
  const auto scale_width = TRY(container.ScaleWidth());
  const auto w = TRY(RoundTo32(static_cast<double>(scale_width)));
  const auto three_n = TRY(Mul32(3, w / 3));
  const auto width = TRY(Add32(three_n, 2));

  const auto tx = TRY(container.Screen().TwipsPerPixelX());
  const auto width_twips = TRY(Single(static_cast<double>(width) * static_cast<double>(tx)));
  if (auto s = container.Width(width_twips); !s) return s;

  const auto ty = TRY(container.Screen().TwipsPerPixelY());
  const auto height_twips = TRY(Single(static_cast<double>(ty) * 32.0));
  if (auto s = container.Height(height_twips); !s) return s;

  if (auto s = SizeShape(container, 0, 0.0f); !s) return s;
  return SizeShape(container, 1, 2.0f);
}

}  // namespace glimmer
