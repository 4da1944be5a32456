// SPDX-License-Identifier: MIT
#include "demo/form/form_description.h"

#include <cmath>

namespace glimmer {

// 1440 twips and 2540 hundredths of a millimetre are both one inch.
std::int32_t TwipsToHimetric(double twips) {
  return static_cast<std::int32_t>(std::lround(twips * 2540.0 / 1440.0));
}

}  // namespace glimmer
