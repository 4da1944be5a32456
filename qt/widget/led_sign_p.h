// SPDX-License-Identifier: MIT
// The LedSign widget's private part: the widget as the shared core's view (repaints paced with the other
// signs of the thread, only while the widget can be seen; a new width of the sign repaints it; the accessible
// events), and the core itself, for the project's own hosts and tests (Core).
#pragma once

#include <glimmer/qt/led_sign.h>

#include <QPointer>
#include <QWindow>
#include <cstdint>

#include "qt/core/sign_core.h"
#include "qt/core/sign_view.h"

namespace glimmer::qt {

class LedSignPrivate final : public SignView {
 public:
  explicit LedSignPrivate(LedSign* sign) : q(sign) {}

  // The core behind a sign: its control, its clock (FireTimer), its pixels (Frame).
  [[nodiscard]] static SignCore& Core(LedSign& sign) { return *sign.core_; }

  [[nodiscard]] QObject& face() override { return *q; }
  [[nodiscard]] qreal ratio() const override { return q->devicePixelRatioF(); }
  [[nodiscard]] QSizeF GivenSize() const override { return q->size(); }
  void FrameChanged() override;
  void AreaChanged(QRect area) override;
  void SizeChanged(QSize logical) override;
  void EnabledChanged(bool on) override { q->setEnabled(on); }
  void TextChanged() override;
  void ScrollingChanged(bool scrolling) override;

  // Whether a repaint would reach the screen: the widget is visible and its window neither minimised nor
  // unexposed. While it cannot be seen the sign ticks on but asks for no repaints.
  [[nodiscard]] bool OnScreen() const;
  void FollowWindow();

  LedSign* q;
  // The top-level window whose state changes are followed.
  QPointer<QWindow> followed;
  std::int64_t paints = 0;
};

}  // namespace glimmer::qt
