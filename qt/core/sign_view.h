// SPDX-License-Identifier: MIT
// SignView: what a Qt face of the sign (the widget, the QML item) does for the shared core: it names the
// QObject whose signals the core emits, tells the screen's device pixel ratio, and shows what the core
// reports (a new frame, a new width of the sign within the face's, the control's Enabled, a new text, the
// text starting or stopping).
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>

namespace glimmer::qt {

class SignView {
 public:
  [[nodiscard]] virtual QObject& face() = 0;
  [[nodiscard]] virtual qreal ratio() const = 0;
  // The size the face has been given from outside (resize(), a layout, QML), in logical pixels; the sign
  // takes the widest width the size rule allows within it, at the latest when it starts.
  [[nodiscard]] virtual QSizeF GivenSize() const = 0;
  virtual void FrameChanged() = 0;
  // Only `area` of the frame changed, in logical pixels; a face that repaints parts of itself says so.
  virtual void AreaChanged(QRect /*area*/) { FrameChanged(); }
  virtual void SizeChanged(QSize logical) = 0;
  virtual void EnabledChanged(bool on) = 0;
  virtual void TextChanged() {}
  virtual void ScrollingChanged(bool /*scrolling*/) {}

 protected:
  SignView() = default;
  ~SignView() = default;
  SignView(const SignView&) = default;
  SignView& operator=(const SignView&) = default;
};

}  // namespace glimmer::qt
