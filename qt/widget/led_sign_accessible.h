// SPDX-License-Identifier: MIT
// What screen readers see of a LedSign: static text whose name is the sign's whole text (the developer's
// accessibleName wins when there is one, as for any widget), marked "marqueed" while the text moves. The
// sign has no child widgets.
#pragma once

#include <glimmer/qt/export.h>

#include <QAccessibleWidget>

namespace glimmer::qt {

class LedSign;

class GLIMMER_QT_EXPORT LedSignAccessible final : public QAccessibleWidget {
 public:
  explicit LedSignAccessible(LedSign* sign);

  [[nodiscard]] QString text(QAccessible::Text t) const override;
  [[nodiscard]] QAccessible::State state() const override;
  [[nodiscard]] int childCount() const override { return 0; }
  [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
  [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  // Makes Qt create one for every LedSign; installs itself once, on the GUI thread.
  static void InstallFactory();

  // Where a sign's accessibility events (its name changed, it started or stopped scrolling) go: to Qt,
  // which passes them on only while an assistive technology listens; tests look at them here.
  static void (*announce)(QAccessibleEvent* event);

 private:
  [[nodiscard]] LedSign* sign() const;
};

}  // namespace glimmer::qt
