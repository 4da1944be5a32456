// SPDX-License-Identifier: MIT
// FormGlimmer without its toolkit: how LED1 is built from the stored description and the command line's
// overrides, the window's two handlers, the client area around LED1, and the description of the form as
// it opened. The Qt window and the headless frame recorder both build LED1 through BuildLed1, so both show
// the same sign.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "control/led.h"
#include "demo/form/form_description.h"
#include "host/automation/memory_property_bag.h"
#include "host/base/twips.h"

namespace glimmer {

// Values from the command line, written through LED1's public properties after the restore, so that the
// control's own rules apply to them.
struct Overrides {
  std::optional<std::u16string> text;
  std::optional<std::int32_t> color;
  std::optional<std::int16_t> delay;
  std::optional<bool> repeated;
  std::optional<std::int32_t> border_style;
  std::optional<std::int32_t> width;  // pixels asked for; the size rule snaps them
  std::optional<GlyphSet> glyphs;
  std::optional<bool> upper_case;
};

// Writes the overrides in the order Value, Color, Delay, Repeated, BorderStyle, then the glyph set and
// upper case; the first failing write ends it.
[[nodiscard]] Status ApplyOverrides(LED& led, const Overrides& overrides);

// Builds LED1 in a container that has just created it from LED::Class(): the saved entries restored, the
// described glyphs, the stored size (the size rule runs), then the overrides, and a --width as a host resize
// that the size rule snaps. `Host` is a container with the host-side Load, Resize, Site and control_as of the
// headless and Qt containers.
template <class Host>
[[nodiscard]] Status BuildLed1(Host& host, const ControlDescription& led1, const Overrides& overrides) {
  MemoryPropertyBag bag(led1.entries);
  // The restore skips what it cannot convert and never fails.
  (void)host.Load(bag);
  LED& led = host.template control_as<LED>();
  if (auto s = led.GlyphSet(led1.glyphs); !s) return s;
  if (auto s = led.UpperCase(led1.upper_case); !s) return s;
  const auto tx = host.Screen().TwipsPerPixelX();
  const auto ty = host.Screen().TwipsPerPixelY();
  if (!tx) return Fail(tx.error());
  if (!ty) return Fail(ty.error());
  const double width = TwipsToPixels(static_cast<float>(led1.width), *tx);
  const double height = TwipsToPixels(static_cast<float>(led1.height), *ty);
  if (width != host.width_pixels() || height != host.height_pixels()) {
    if (auto s = host.Resize(width, height); !s) return s;
  } else if (auto s = host.Site(); !s) {
    return s;
  }
  if (auto s = ApplyOverrides(led, overrides); !s) return s;
  if (overrides.width) return host.Resize(*overrides.width, host.height_pixels());
  return {};
}

// The window's handlers. Both reach LED1 late-bound, by member identifier.
// Form_Load: Show (0x60030010).
[[nodiscard]] Status Form_Load(Dispatch& LED1);
// Form_Unload: Clear (0x6003000F). It leaves Cancel as the platform set it, 0, so the window closes.
[[nodiscard]] Status Form_Unload(Dispatch& LED1, std::int16_t& Cancel);

struct ClientArea {
  int left = 0;  // LED1's place in it
  int top = 0;
  int width = 0;
  int height = 0;
};
// The stored client area and LED1's place, in pixels. A LED1 wider (or taller) than stored grows the area
// as far as needed to keep LED1's left (or top) margin on the right (or at the bottom) too.
[[nodiscard]] ClientArea ClientAreaFor(const FormDescription& form, double led_width, double led_height);

// The form as it opened: the client area, LED1's size (both as ClientAreaFor and the size rule made
// them, in twips), its glyphs as `led` draws them, LED1's extent entries for that size and then the
// entries that its UserControl_WriteProperties saved into `saved`.
[[nodiscard]] FormDescription DescribeAsOpened(const FormDescription& form, const LED& led, double led_width,
                                               double led_height, const MemoryPropertyBag& saved);

}  // namespace glimmer
