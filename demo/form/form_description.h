// SPDX-License-Identifier: MIT
// The stored description of the demo window FormGlimmer and of the one control it hosts, LED1: what the
// program opens, and what --save writes. Measures are in twips, stored at kTwipsPerPixel.
#pragma once

#include <string>
#include <vector>

#include "control/tables/glyph_set.h"
#include "host/automation/memory_property_bag.h"

namespace glimmer {

// The factor at which the layout is stored, and at which this program's containers measure (Qt's
// device-independent pixel is 1/96 inch, 15 twips).
inline constexpr double kTwipsPerPixel = 15.0;
// The only class the form can host.
inline constexpr std::string_view kLedClassName = "ProjectGlimmer.LED";

enum class FormBorder { FixedSingle, Sizable };
enum class StartUpPosition { CenterScreen, WindowsDefault };

struct ControlDescription {
  std::string class_name{kLedClassName};
  double left = 0;  // top-left corner in the form's client area
  double top = 0;
  double width = 0;
  double height = 0;
  // The host's choice of glyphs, which the control does not save itself (control/led.h).
  GlyphSet glyphs = GlyphSet::Capitals;
  bool upper_case = false;
  // The control's saved state as the host's property bag holds it, the host's own "_extentx" and
  // "_extenty" (the size in hundredths of a millimetre) included.
  std::vector<MemoryPropertyBag::Entry> entries;
};

struct FormDescription {
  std::string caption;
  FormBorder border = FormBorder::FixedSingle;
  bool min_button = false;
  bool max_button = false;
  StartUpPosition start_up_position = StartUpPosition::CenterScreen;
  double client_width = 0;
  double client_height = 0;
  ControlDescription led1;
};

// Twips as the host records a control's extent: hundredths of a millimetre, rounded to the nearest.
[[nodiscard]] std::int32_t TwipsToHimetric(double twips);

}  // namespace glimmer
