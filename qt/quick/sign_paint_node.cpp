// SPDX-License-Identifier: MIT
#include "qt/quick/sign_paint_node.h"

#include <QPainter>
#include <QSGRendererInterface>
#include <utility>

namespace glimmer::qt {

SignPaintNode::SignPaintNode(QQuickWindow* window, QObject* owner, std::function<void(QPainter&)> paint)
    : window_(window), owner_(owner), paint_(std::move(paint)) {}

void SignPaintNode::SetArea(QSizeF area) {
  area_ = area;
}

void SignPaintNode::render(const RenderState* state) {
  if (window_ == nullptr || owner_ == nullptr) return;
  auto* painter = static_cast<QPainter*>(
      window_->rendererInterface()->getResource(window_, QSGRendererInterface::PainterResource));
  if (painter == nullptr) return;
  painter->save();
  // The renderer leaves clip, transform and opacity to the node; the clip first, in window coordinates.
  if (const QRegion* clip = state->clipRegion(); clip != nullptr && !clip->isEmpty())
    painter->setClipRegion(*clip, Qt::ReplaceClip);
  painter->setTransform(matrix()->toTransform());
  painter->setOpacity(inheritedOpacity());
  paint_(*painter);
  painter->restore();
}

}  // namespace glimmer::qt
