// SPDX-License-Identifier: MIT
// SignPaintNode: the item's node for Qt Quick's software renderer when it renders on the item's own thread.
// It paints the sign straight from the control's pixels into the window's backing store, as the widget
// paints itself, so a tick costs no image and no texture of its own.
#pragma once

#include <QPointer>
#include <QQuickWindow>
#include <QSGRenderNode>
#include <functional>

class QPainter;

namespace glimmer::qt {

class SignPaintNode final : public QSGRenderNode {
 public:
  // `paint` draws the sign at (0, 0) in logical pixels; it is called only while `owner` lives.
  SignPaintNode(QQuickWindow* window, QObject* owner, std::function<void(QPainter&)> paint);

  // The area the node paints, in the item's logical pixels.
  void SetArea(QSizeF area);

  void render(const RenderState* state) override;
  [[nodiscard]] StateFlags changedStates() const override { return {}; }
  // Every pixel of the area is painted opaquely (dimmed too), so what lies beneath need not be.
  [[nodiscard]] RenderingFlags flags() const override {
    return inheritedOpacity() < 1 ? BoundedRectRendering : BoundedRectRendering | OpaqueRendering;
  }
  [[nodiscard]] QRectF rect() const override { return {QPointF(0, 0), area_}; }

 private:
  QPointer<QQuickWindow> window_;
  QPointer<QObject> owner_;
  std::function<void(QPainter&)> paint_;
  QSizeF area_;
};

}  // namespace glimmer::qt
