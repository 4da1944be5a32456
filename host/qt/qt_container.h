// SPDX-License-Identifier: MIT
// The half of a Qt host that needs no widget: the container base with a QTimer for each child timer, the
// delivery of ticks on the GUI thread, the control's frame as images that a QPainter draws, and how big the
// control's pixels are on a screen. The Qt Widgets container (ControlWidget) presents it in a QWidget; the
// Qt Quick item (qt/quick) presents it the same way, with the same timing and the same pixels.
//
// Callbacks are delivered one at a time: a timer that elapses while a callback is still running (a host's
// event handler that opens a dialog, say) skips that tick.
//
// A presenting class derives from it, then from its own toolkit class first, calls CreateControl in its
// constructor once it can take the hooks, and DestroyControl first in its destructor, while the timers still
// exist. Overrides of SizeChanged and ShapesChanged call these first.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include <glimmer/host/container_base.h>
#include <glimmer/host/qt/qt_timer.h>

namespace glimmer::qt {

class QtContainer : public ContainerBase {
 public:
  struct Options {
    float twips_per_pixel_x = 15.0f;
    float twips_per_pixel_y = 15.0f;
  };

  // Stops every child timer, as a window does before it goes away.
  void StopTimers() override;
  // Delivers one tick of the named timer as if its QTimer had elapsed: only while that timer runs and no
  // other callback is in progress. Returns whether the tick was delivered. Hosts that keep their own time
  // (and tests) drive the control with it.
  bool FireTimer(std::string_view name);
  // Ticks delivered so far.
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  [[nodiscard]] QtTimer* timer(std::string_view name);
  [[nodiscard]] const QtTimer* timer(std::string_view name) const;

  Result<Timer*> TimerChild(std::string_view name) override;

  // The control's pixels on a screen of device pixel ratio `ratio`: each is drawn as a square of
  // PixelScale(ratio) device pixels, 1 below a ratio of 2 and the ratio's whole part from 2 on, so that
  // nothing is ever interpolated.
  [[nodiscard]] static int PixelScale(qreal ratio);
  // The control's area in logical pixels on such a screen, rounded up (at a fractional ratio the last
  // logical pixel may overhang the image by part of a pixel).
  [[nodiscard]] QSize LogicalSize(qreal ratio) const;
  // The widest sign the size rule allows for a host (3n + 2): wider requests snap to it, so that the
  // right-hand rings are never cut off.
  static constexpr int kWidestSign = 16382;
  // A host resize asked in logical pixels on such a screen: the size in the control's pixels, at most the
  // widest sign, goes to the control's size rule.
  Status ResizeLogical(QSizeF logical, qreal ratio);

 protected:
  // Background, size, shapes and a QtTimer for every timer of the control's design.
  QtContainer(const ControlClass& control_class, Options options);

  // Draws the control's pixels and its shapes over them at (0, 0), `image_ratio` device pixels to a
  // control pixel (1, or the device pixel ratio divided by a whole scale); nothing is interpolated.
  void PaintFrame(QPainter& painter, qreal image_ratio);

  // The part of the control's pixels that drawing calls on its area changed since the last call, in logical
  // pixels on a screen of device pixel ratio `ratio`, rounded outwards; empty when none did.
  [[nodiscard]] QRect TakeChangedArea(qreal ratio);

  // Delivers one tick of `timer` (unless another callback is in progress); overrides call this.
  virtual void Tick(QtTimer& timer);

  void SizeChanged() override { rings_stale_ = true; }
  void ShapesChanged() override { rings_stale_ = true; }
  // A child timer started or stopped: its running() changed.
  virtual void TimerChanged(QtTimer& /*timer*/) {}

 private:
  [[nodiscard]] const QImage& PixelImage(const gdi::PixelView& view, qreal ratio);
  // A run of outline pixels of one colour, in control pixels.
  struct RingSpan {
    QRect rect;
    QColor colour;
  };
  [[nodiscard]] const std::vector<RingSpan>& Rings(std::int32_t width, std::int32_t height);

  std::vector<std::unique_ptr<QtTimer>> timers_;
  // The screen's pixels as an image that shares their memory, made again only when the surface moves.
  QImage pixels_;
  // The shapes' outlines as runs of one colour, found again only when a shape or the size changes: a few
  // rectangles to fill on each paint, rather than a layer as large as the control to blend over it.
  std::vector<RingSpan> rings_;
  QSize rings_size_;
  bool rings_stale_ = true;
  std::int64_t ticks_ = 0;
};

}  // namespace glimmer::qt
