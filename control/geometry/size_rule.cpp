// SPDX-License-Identifier: MIT
#include "control/geometry/size_rule.h"

#include <cmath>

#include "control/geometry/led_design.h"
#include "host/base/checked_math.h"

namespace glimmer {
namespace {

// A product or difference stored as single precision; a non-finite result is a floating-point fault.
Result<float> Single(double v) {
  const auto f = static_cast<float>(v);
  if (!std::isfinite(v) || !std::isfinite(f)) return Fail(Error::Overflow);
  return f;
}

Status SizeShape(Container& container, std::int16_t index, float inset) {
  const auto shape = container.ShapeChild(kShapeBorder, index);
  if (!shape) return Fail(shape.error());
  const auto width = container.ScaleWidth();
  if (!width) return Fail(width.error());
  const auto w = Single(static_cast<double>(*width - inset));
  if (!w) return Fail(w.error());
  if (auto s = (*shape)->Width(*w); !s) return s;
  const auto height = container.ScaleHeight();
  if (!height) return Fail(height.error());
  const auto h = Single(static_cast<double>(*height - inset));
  if (!h) return Fail(h.error());
  return (*shape)->Height(*h);
}

}  // namespace

Status ApplySizeRule(Container& container) {
  const auto scale_width = container.ScaleWidth();
  if (!scale_width) return Fail(scale_width.error());
  const auto w = RoundTo32(static_cast<double>(*scale_width));
  if (!w) return Fail(w.error());
  const auto three_n = Mul32(3, *w / 3);
  if (!three_n) return Fail(three_n.error());
  const auto width = Add32(*three_n, 2);
  if (!width) return Fail(width.error());

  const auto tx = container.Screen().TwipsPerPixelX();
  if (!tx) return Fail(tx.error());
  const auto width_twips = Single(static_cast<double>(*width) * static_cast<double>(*tx));
  if (!width_twips) return Fail(width_twips.error());
  if (auto s = container.Width(*width_twips); !s) return s;

  const auto ty = container.Screen().TwipsPerPixelY();
  if (!ty) return Fail(ty.error());
  const auto height_twips = Single(static_cast<double>(*ty) * 32.0);
  if (!height_twips) return Fail(height_twips.error());
  if (auto s = container.Height(*height_twips); !s) return s;

  if (auto s = SizeShape(container, 0, 0.0f); !s) return s;
  return SizeShape(container, 1, 2.0f);
}

}  // namespace glimmer
