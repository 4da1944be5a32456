// SPDX-License-Identifier: MIT
#include "control/led.h"

#include <optional>

#include "control/geometry/led_design.h"
#include "control/geometry/size_rule.h"
#include "control/interface/led_members.h"
#include "host/automation/property_bag.h"
#include "host/base/try.h"

namespace glimmer {

LED::LED(Container& container)
    : container_(container),
      properties_(container),
      renderer_(container, properties_.fields(), palette_, glyphs_) {}

const ControlClass& LED::Class() {
  static const ControlClass cls{
      "ProjectGlimmer.LED", &LedDesign(),
      [](Container& c) -> std::unique_ptr<Control> { return std::make_unique<LED>(c); }};
  return cls;
}

std::int32_t LED::BorderStyle() const {
  return properties_.Read(BorderStyleProperty());
}
Status LED::BorderStyle(std::int32_t newValue) {
  return properties_.Write(BorderStyleProperty(), newValue);
}
std::int32_t LED::Color() const {
  return properties_.Read(ColorProperty());
}
Status LED::Color(std::int32_t newValue) {
  return properties_.Write(ColorProperty(), newValue);
}
std::int16_t LED::Delay() const {
  return properties_.Read(DelayProperty());
}
Status LED::Delay(std::int16_t newValue) {
  return properties_.Write(DelayProperty(), newValue);
}
Boolean LED::Enabled() const {
  return properties_.Read(EnabledProperty());
}
Status LED::Enabled(Boolean newValue) {
  return properties_.Write(EnabledProperty(), newValue);
}
Boolean LED::Repeated() const {
  return properties_.Read(RepeatedProperty());
}
Status LED::Repeated(Boolean newValue) {
  return properties_.Write(RepeatedProperty(), newValue);
}
std::u16string LED::Value() const {
  return properties_.Read(ValueProperty());
}
Status LED::Value(std::u16string_view newValue) {
  return properties_.Write(ValueProperty(), std::u16string(newValue));
}

Status LED::GlyphSet(glimmer::GlyphSet newValue) {
  if (!IsGlyphSet(static_cast<std::int32_t>(newValue)) || newValue == glyph_set_) return {};
  if (!glyphs_.empty()) TRY(BuildGlyphs(newValue, upper_case_));
  glyph_set_ = newValue;
  return {};
}
Status LED::UpperCase(bool newValue) {
  if (newValue == upper_case_) return {};
  if (!glyphs_.empty()) TRY(BuildGlyphs(glyph_set_, newValue));
  upper_case_ = newValue;
  return {};
}

Status LED::BuildGlyphs(glimmer::GlyphSet set, bool upper_case) {
  glyphs_ = glimmer::Glyphs(TRY(Glyphs::Assemble(set)), upper_case);
  return {};
}

Status LED::Show() {
  return renderer_.Show();
}
Status LED::Clear() {
  return renderer_.Clear();
}

// Builds the palette, then the glyph table, each assembled apart and assigned whole, and nothing else.
Status LED::UserControl_Initialize() {
  auto palette = TRY(Palette::Assemble());
  palette_ = glimmer::Palette(std::move(palette));
  return BuildGlyphs(glyph_set_, upper_case_);
}

Status LED::UserControl_InitProperties() {
  return properties_.InitProperties();
}
Status LED::UserControl_ReadProperties(PropertyBag& bag) {
  return properties_.ReadProperties(bag);
}
Status LED::UserControl_WriteProperties(PropertyBag& bag) {
  return properties_.WriteProperties(bag);
}
Status LED::UserControl_Resize() {
  return ApplySizeRule(container_);
}
// Does nothing: stopping the timer and releasing the surface are Clear's work, which the host calls first.
Status LED::UserControl_Terminate() {
  return {};
}

Status LED::OnTimer(std::string_view timer_name) {
  if (KeysEqual(timer_name, kTimerLED)) return TimerLED_Timer();
  return {};
}

Status LED::TimerLED_Timer() {
  renderer_.TimerLED_Timer();
  return {};
}

std::span<const MemberInfo> LED::Members() const {
  return LedMembers();
}
std::span<const EventInfo> LED::Events() const {
  return LedEvents();
}

Result<PropertyValue> LED::Invoke(DispId id, InvokeKind kind, std::span<const PropertyValue> args) {
  if (id == kShowId || id == kClearId) {
    if (kind != InvokeKind::Method || !args.empty()) return Fail(Error::WrongArguments);
    const Status s = id == kShowId ? Show() : Clear();
    if (!s) return Fail(s.error());
    return PropertyValue{};
  }
  std::optional<Result<PropertyValue>> result;
  ForEachProperty([&](const auto& def) {
    using T = std::remove_cvref_t<decltype(def.initial)>;
    if (result || def.id != id) return;
    if (kind == InvokeKind::PropertyGet && args.empty()) {
      result = property_values::Saved(properties_.Read(def));
    } else if (kind == InvokeKind::PropertyPut && args.size() == 1) {
      auto value = property_values::To<T>(args[0]);
      if (!value) {
        result = Fail(value.error());
        return;
      }
      const Status s = properties_.Write(def, std::move(*value));
      result = s ? Result<PropertyValue>(PropertyValue{}) : Fail(s.error());
    } else {
      result = Fail(Error::WrongArguments);
    }
  });
  if (!result) return Fail(Error::MemberNotFound);
  return *result;
}

}  // namespace glimmer
