// SPDX-License-Identifier: MIT
#include "host/qt/qt_container.h"

#include <QPointF>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "host/automation/property_bag.h"

namespace glimmer::qt {

QtContainer::QtContainer(const ControlClass& control_class, Options options)
    : ContainerBase(control_class, {.twips_per_pixel_x = options.twips_per_pixel_x,
                                    .twips_per_pixel_y = options.twips_per_pixel_y}) {
  for (const auto& child : control_class.design->children)
    if (const auto* t = std::get_if<TimerDesign>(&child))
      timers_.push_back(std::make_unique<QtTimer>(
          *t, [this](QtTimer& timer) { Tick(timer); }, [this](QtTimer& timer) { TimerChanged(timer); }));
}

void QtContainer::StopTimers() {
  for (auto& t : timers_)
    (void)t->Enabled(false);
}

bool QtContainer::FireTimer(std::string_view name) {
  QtTimer* t = timer(name);
  if (t == nullptr || !t->running() || busy()) return false;
  Tick(*t);
  return true;
}

void QtContainer::Tick(QtTimer& timer) {
  // A tick never overlaps another callback; one that falls due meanwhile is dropped, as a window's timer
  // messages are.
  if (busy()) return;
  ++ticks_;
  (void)Deliver(std::string(timer.name()) + "_Timer", [&] { return control().OnTimer(timer.name()); });
}

QtTimer* QtContainer::timer(std::string_view name) {
  return const_cast<QtTimer*>(std::as_const(*this).timer(name));
}

const QtTimer* QtContainer::timer(std::string_view name) const {
  for (const auto& t : timers_)
    if (KeysEqual(t->name(), name)) return t.get();
  return nullptr;
}

Result<Timer*> QtContainer::TimerChild(std::string_view name) {
  if (QtTimer* t = timer(name)) return t;
  return Fail(Error::ObjectRequired);
}

int QtContainer::PixelScale(qreal ratio) {
  return ratio >= 2 ? static_cast<int>(std::floor(ratio)) : 1;
}

QSize QtContainer::LogicalSize(qreal ratio) const {
  const qreal factor = PixelScale(ratio) / ratio;
  const gdi::PixelView view = surface().pixels();
  return {static_cast<int>(std::ceil(view.width * factor)),
          static_cast<int>(std::ceil(view.height * factor))};
}

Status QtContainer::ResizeLogical(QSizeF logical, qreal ratio) {
  const qreal factor = ratio / PixelScale(ratio);
  const double width = std::min(std::round(logical.width() * factor), double{kWidestSign});
  return Resize(width, std::round(logical.height() * factor));
}

QRect QtContainer::TakeChangedArea(qreal ratio) {
  const Rect r = gdi::TakeDamage(surface().dc());
  if (r.empty()) return {};
  const qreal factor = PixelScale(ratio) / ratio;
  const int left = static_cast<int>(std::floor(r.left * factor));
  const int top = static_cast<int>(std::floor(r.top * factor));
  const int right = static_cast<int>(std::ceil(r.right * factor));
  const int bottom = static_cast<int>(std::ceil(r.bottom * factor));
  return {left, top, right - left, bottom - top};
}

// Made from writable memory, so that setting the ratio never copies the pixels.
const QImage& QtContainer::PixelImage(const gdi::PixelView& view, qreal ratio) {
  auto* data = reinterpret_cast<uchar*>(view.data);
  if (pixels_.constBits() != data || pixels_.width() != view.width || pixels_.height() != view.height) {
    // The surface's 0xFFRRGGBB words are RGB32.
    pixels_ =
        QImage(data, view.width, view.height, static_cast<qsizetype>(view.width) * 4, QImage::Format_RGB32);
  }
  if (pixels_.devicePixelRatio() != ratio) pixels_.setDevicePixelRatio(ratio);
  return pixels_;
}

const std::vector<QtContainer::RingSpan>& QtContainer::Rings(std::int32_t width, std::int32_t height) {
  if (!rings_stale_ && rings_size_ == QSize(width, height)) return rings_;
  rings_.clear();
  rings_size_ = QSize(width, height);
  rings_stale_ = false;
  if (shapes().empty() || width <= 0 || height <= 0) return rings_;
  // The outlines are opaque 0xFFRRGGBB words on a transparent layer, the same words the headless container
  // draws; each row's runs of one colour extend the run of the row above when they match it.
  std::vector<Pixel> layer(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  const gdi::PixelView view{layer.data(), width, height};
  for (const auto& s : shapes())
    s->DrawOnto(view);
  std::vector<std::size_t> open, next;
  for (std::int32_t y = 0; y < height; ++y) {
    const Pixel* row = view.row(y);
    next.clear();
    for (std::int32_t x = 0; x < width;) {
      const Pixel p = row[x];
      std::int32_t end = x + 1;
      while (end < width && row[end] == p)
        ++end;
      if (p != 0) {
        const QRect run(x, y, end - x, 1);
        const QColor colour = QColor::fromRgb(p);
        auto above = std::find_if(open.begin(), open.end(), [&](std::size_t i) {
          const QRect& r = rings_[i].rect;
          return r.left() == run.left() && r.width() == run.width() && rings_[i].colour == colour;
        });
        if (above != open.end()) {
          rings_[*above].rect.setBottom(y);
          next.push_back(*above);
        } else {
          rings_.push_back({run, colour});
          next.push_back(rings_.size() - 1);
        }
      }
      x = end;
    }
    std::swap(open, next);
  }
  return rings_;
}

void QtContainer::PaintFrame(QPainter& painter, qreal image_ratio) {
  const gdi::PixelView view = surface().pixels();
  if (!view) return;
  // Whole device pixels per control pixel: nothing is interpolated, so nothing blurs.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QPointF(0, 0), PixelImage(view, image_ratio));
  const std::vector<RingSpan>& rings = Rings(view.width, view.height);
  if (rings.empty()) return;
  // In control pixels, which map onto whole device pixels.
  painter.save();
  painter.scale(1 / image_ratio, 1 / image_ratio);
  for (const RingSpan& span : rings)
    painter.fillRect(span.rect, span.colour);
  painter.restore();
}

}  // namespace glimmer::qt
