// SPDX-License-Identifier: MIT
#include "qt/widget/led_sign_binding.h"

#include "control/geometry/led_design.h"
#include "host/automation/property_value.h"

namespace glimmer::qt {

LedSignBinding::LedSignBinding(QtContainer& container)
    : container_(container), led_(container.control_as<LED>()) {
  for (int i = 0; i < LedSignProperties::kPropertyCount; ++i)
    known_[static_cast<std::size_t>(i)] = value(static_cast<Property>(i));
}

QString LedSignBinding::text() const {
  return QString::fromStdU16String(led_.Value());
}
Status LedSignBinding::setText(const QString& text) {
  return led_.Value(text.toStdU16String());
}

LedSignBinding::Color LedSignBinding::color() const {
  return static_cast<Color>(led_.Color());
}
Status LedSignBinding::setColor(Color color) {
  return led_.Color(static_cast<std::int32_t>(color));
}

int LedSignBinding::delay() const {
  return led_.Delay();
}
Status LedSignBinding::setDelay(int milliseconds) {
  // The host's one conversion rule: a number beyond 16 bits does not become a Delay (it is not wrapped).
  const auto delay = PropertyValue(std::int32_t{milliseconds}).ToInt16();
  if (!delay) return {};
  return led_.Delay(*delay);
}

bool LedSignBinding::repeated() const {
  return static_cast<bool>(led_.Repeated());
}
Status LedSignBinding::setRepeated(bool repeated) {
  return led_.Repeated(Boolean(repeated));
}

int LedSignBinding::borderStyle() const {
  return led_.BorderStyle();
}
Status LedSignBinding::setBorderStyle(int style) {
  return led_.BorderStyle(std::int32_t{style});
}

bool LedSignBinding::enabled() const {
  return static_cast<bool>(led_.Enabled());
}
Status LedSignBinding::setEnabled(bool enabled) {
  return led_.Enabled(Boolean(enabled));
}

QVariant LedSignBinding::value(Property property) const {
  switch (property) {
    case Property::BorderStyle:
      return borderStyle();
    case Property::Color:
      return QVariant::fromValue(color());
    case Property::Delay:
      return delay();
    case Property::Enabled:
      return enabled();
    case Property::Repeated:
      return repeated();
    case Property::Text:
      return text();
  }
  return {};
}

Status LedSignBinding::start() {
  return led_.Show();
}
Status LedSignBinding::clear() {
  return led_.Clear();
}

bool LedSignBinding::scrolling() const {
  const QtTimer* timer = container_.timer(kTimerLED);
  return timer != nullptr && timer->running();
}

std::optional<LedSignBinding::Property> LedSignBinding::Noticed(std::string_view member) {
  const auto property = LedSignProperties::fromMemberName(member);
  if (!property) return std::nullopt;
  QVariant now = value(*property);
  QVariant& known = known_[static_cast<std::size_t>(*property)];
  if (now == known) return std::nullopt;
  known = std::move(now);
  return property;
}

}  // namespace glimmer::qt
