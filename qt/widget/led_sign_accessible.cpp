// SPDX-License-Identifier: MIT
#include "qt/widget/led_sign_accessible.h"

#include <glimmer/qt/led_sign.h>

namespace glimmer::qt {
namespace {

QAccessibleInterface* Create(const QString& class_name, QObject* object) {
  // Asked once for each class of the object's hierarchy, the most derived first.
  if (class_name != QLatin1StringView(LedSign::staticMetaObject.className())) return nullptr;
  auto* sign = qobject_cast<LedSign*>(object);
  return sign != nullptr ? new LedSignAccessible(sign) : nullptr;
}

}  // namespace

void (*LedSignAccessible::announce)(QAccessibleEvent* event) = &QAccessible::updateAccessibility;

// Static text rather than an animation: what the sign carries is its text, and the motion is a state
// (marqueed: "scrolling or moving text") that comes and goes with start() and clear().
LedSignAccessible::LedSignAccessible(LedSign* sign) : QAccessibleWidget(sign, QAccessible::StaticText) {}

LedSign* LedSignAccessible::sign() const {
  return static_cast<LedSign*>(widget());
}

QString LedSignAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && sign()->accessibleName().isEmpty()) return sign()->text();
  return QAccessibleWidget::text(t);
}

QAccessible::State LedSignAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.readOnly = true;
  s.marqueed = sign()->isScrolling();
  return s;
}

void LedSignAccessible::InstallFactory() {
  static bool installed = false;
  if (installed) return;
  QAccessible::installFactory(Create);
  installed = true;
}

}  // namespace glimmer::qt
