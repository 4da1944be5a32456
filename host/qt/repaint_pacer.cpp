// SPDX-License-Identifier: MIT
#include "host/qt/repaint_pacer.h"

#include <QCoreApplication>
#include <algorithm>

namespace glimmer::qt {

RepaintPacer& RepaintPacer::instance() {
  static QPointer<RepaintPacer> pacer;
  if (!pacer) pacer = new RepaintPacer(QCoreApplication::instance());
  return *pacer;
}

RepaintPacer::RepaintPacer(QObject* application) : QObject(application) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { EndFrame(); });
}

void RepaintPacer::Request(QWidget* widget, const QRect& area) {
  const QRect part = area.isEmpty() ? widget->rect() : area;
  if (!timer_.isActive() && (!last_.isValid() || last_.elapsed() >= frame_)) {
    widget->update(part);
    ++frames_;
    last_.start();
    return;
  }
  const auto same = [widget](const Pending& p) { return p.widget == widget; };
  if (const auto it = std::find_if(pending_.begin(), pending_.end(), same); it != pending_.end())
    it->area |= part;
  else
    pending_.push_back({widget, part});
  if (!timer_.isActive()) timer_.start(std::max<int>(0, frame_ - static_cast<int>(last_.elapsed())));
}

// Widgets gone meanwhile are skipped; a widget hidden meanwhile ignores its update, as Qt's widgets do.
void RepaintPacer::EndFrame() {
  if (pending_.empty()) return;
  for (const Pending& p : pending_)
    if (p.widget) p.widget->update(p.area);
  pending_.clear();
  ++frames_;
  last_.start();
}

}  // namespace glimmer::qt
