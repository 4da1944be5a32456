// SPDX-License-Identifier: MIT
#include "control/properties/properties.h"

#include "control/geometry/led_design.h"
#include "host/base/checked_math.h"
#include "host/base/try.h"

namespace glimmer {

Status Properties::InitProperties() {
  ForEachProperty([&](const auto& def) { Store(def, def.initial); });
  return ApplySettings();
}

Status Properties::ReadProperties(PropertyBag& bag) {
  ForEachProperty([&](const auto& def) {
    using T = std::remove_cvref_t<decltype(def.initial)>;
    const auto stored = bag.ReadProperty(def.name, property_values::BagDefault(def.initial));
    if (!stored) return;
    auto value = property_values::To<T>(*stored);
    if (value) Store(def, std::move(*value));
  });
  (void)ApplySettings();
  return {};
}

Status Properties::WriteProperties(PropertyBag& bag) const {
  Status result;
  ForEachProperty([&](const auto& def) {
    if (!result) return;
    result = bag.WriteProperty(def.name, property_values::Saved(fields_.*def.field),
                               property_values::BagDefault(def.initial));
  });
  return result;
}

Status Properties::ApplySettings() {
  if (auto s = container_.Enabled(static_cast<bool>(fields_.Enabled)); !s) return s;
  const auto style = TRY(detail::narrow<std::int16_t>(fields_.BorderStyle));
  for (const std::int16_t index : {0, 1}) {
    auto shape = TRY(container_.ShapeChild(kShapeBorder, index));
    if (auto s = shape->BorderStyle(style); !s) return s;
  }
  auto timer = TRY(container_.TimerChild(kTimerLED));
  return timer->Interval(std::int32_t{fields_.Delay});
}

}  // namespace glimmer
