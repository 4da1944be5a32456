// SPDX-License-Identifier: MIT
#include "demo/form/form_glimmer.h"

#include <algorithm>
#include <cmath>

#include "control/interface/led_members.h"

namespace glimmer {
namespace {

int Pixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

}  // namespace

Status ApplyOverrides(LED& led, const Overrides& o) {
  if (o.text)
    if (auto s = led.Value(*o.text); !s) return s;
  if (o.color)
    if (auto s = led.Color(*o.color); !s) return s;
  if (o.delay)
    if (auto s = led.Delay(*o.delay); !s) return s;
  if (o.repeated)
    if (auto s = led.Repeated(Boolean(*o.repeated)); !s) return s;
  if (o.border_style)
    if (auto s = led.BorderStyle(*o.border_style); !s) return s;
  if (o.glyphs)
    if (auto s = led.GlyphSet(*o.glyphs); !s) return s;
  if (o.upper_case)
    if (auto s = led.UpperCase(*o.upper_case); !s) return s;
  return {};
}

Status Form_Load(Dispatch& LED1) {
  const auto result = LED1.Invoke(kShowId, InvokeKind::Method, {});
  if (!result) return Fail(result.error());
  return {};
}

Status Form_Unload(Dispatch& LED1, [[maybe_unused]] std::int16_t& Cancel) {
  const auto result = LED1.Invoke(kClearId, InvokeKind::Method, {});
  if (!result) return Fail(result.error());
  return {};
}

ClientArea ClientAreaFor(const FormDescription& form, double led_width, double led_height) {
  ClientArea area{.left = Pixels(form.led1.left),
                  .top = Pixels(form.led1.top),
                  .width = Pixels(form.client_width),
                  .height = Pixels(form.client_height)};
  // Only a LED1 larger than stored grows the window; the stored layout keeps its own margins.
  if (led_width > form.led1.width / kTwipsPerPixel)
    area.width = std::max(area.width, area.left + static_cast<int>(std::ceil(led_width)) + area.left);
  if (led_height > form.led1.height / kTwipsPerPixel)
    area.height = std::max(area.height, area.top + static_cast<int>(std::ceil(led_height)) + area.top);
  return area;
}

FormDescription DescribeAsOpened(const FormDescription& form, const LED& led, double led_width,
                                 double led_height, const MemoryPropertyBag& saved) {
  FormDescription opened = form;
  opened.led1.glyphs = led.GlyphSet();
  opened.led1.upper_case = led.UpperCase();
  const ClientArea area = ClientAreaFor(form, led_width, led_height);
  opened.client_width = area.width * kTwipsPerPixel;
  opened.client_height = area.height * kTwipsPerPixel;
  opened.led1.width = led_width * kTwipsPerPixel;
  opened.led1.height = led_height * kTwipsPerPixel;
  opened.led1.entries = {{"_extentx", TwipsToHimetric(opened.led1.width)},
                         {"_extenty", TwipsToHimetric(opened.led1.height)}};
  for (const auto& entry : saved.entries())
    opened.led1.entries.push_back(entry);
  return opened;
}

}  // namespace glimmer
