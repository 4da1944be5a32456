// SPDX-License-Identifier: MIT
// One LED hosted in a Qt container, seen in Qt's types: the reads and writes behind the sign's Qt
// properties and slots, which of the control's accepted writes changed a value (for NOTIFY), whether the
// sign scrolls, and what a screen reader reads. It needs no widget: the LedSign widget is built on it, and
// a Qt Quick item can be, on any QtContainer.
//
// Every rule stays the control's: a write goes to the control, which tests the range and tells the
// container when it accepts one (PropertyChanged). Noticed turns those notices into NOTIFY: a value is
// reported changed when the control accepted a write and the value differs from the one reported before.
// So a refused write reports nothing, and neither does an accepted write of the value already held.
#pragma once

#include <glimmer/qt/led_sign_properties.h>

#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <string_view>

#include "control/led.h"
#include "host/qt/qt_container.h"

namespace glimmer::qt {

class LedSignBinding {
 public:
  using Color = LedSignProperties::Color;
  using Property = LedSignProperties::Property;

  // `container` hosts an LED (it was made from LED::Class()) and outlives the binding.
  explicit LedSignBinding(QtContainer& container);

  // Reads and writes. A write the control refuses (out of its range) succeeds and changes nothing; so does
  // a delay beyond the control's 16 bits, which the control's type cannot hold. An error is the container's.
  [[nodiscard]] QString text() const;
  [[nodiscard]] Status setText(const QString& text);
  [[nodiscard]] Color color() const;
  [[nodiscard]] Status setColor(Color color);
  [[nodiscard]] int delay() const;
  [[nodiscard]] Status setDelay(int milliseconds);
  [[nodiscard]] bool repeated() const;
  [[nodiscard]] Status setRepeated(bool repeated);
  [[nodiscard]] int borderStyle() const;
  [[nodiscard]] Status setBorderStyle(int style);
  [[nodiscard]] bool enabled() const;
  [[nodiscard]] Status setEnabled(bool enabled);
  // The property's current value as its Qt property holds it (a Color as the enum).
  [[nodiscard]] QVariant value(Property property) const;

  // The control's Show and Clear.
  [[nodiscard]] Status start();
  [[nodiscard]] Status clear();
  // Whether the text moves: the control's timer runs (after Show, with a Delay above 0, until Clear or the
  // end of a pass that does not repeat).
  [[nodiscard]] bool scrolling() const;

  // What a screen reader reads as the sign's name: the whole text, not the slice on display.
  [[nodiscard]] QString accessibleName() const { return text(); }

  // Called with the name of every property the control reports changed (PropertyChanged, which it calls
  // only for an accepted write, during the write): the Qt property whose value changed, or nothing.
  [[nodiscard]] std::optional<Property> Noticed(std::string_view member);

  [[nodiscard]] LED& led() { return led_; }
  [[nodiscard]] QtContainer& container() { return container_; }

 private:
  QtContainer& container_;
  LED& led_;
  // The values last reported, in Property order.
  std::array<QVariant, LedSignProperties::kPropertyCount> known_;
};

}  // namespace glimmer::qt
