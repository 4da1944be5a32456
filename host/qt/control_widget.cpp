// SPDX-License-Identifier: MIT
#include "host/qt/control_widget.h"

#include <QPainter>

#include "host/qt/repaint_pacer.h"

namespace glimmer::qt {

ControlWidget::ControlWidget(const ControlClass& control_class, QWidget* parent)
    : ControlWidget(control_class, Options{}, parent) {}

ControlWidget::ControlWidget(const ControlClass& control_class, Options options, QWidget* parent)
    : QWidget(parent), QtContainer(control_class, options) {
  // Every pixel is painted each time, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  FitWidget();
  CreateControl(control_class);
}

ControlWidget::~ControlWidget() {
  DestroyControl();
}

void ControlWidget::CallbackDone(std::string_view callback, const Status& status) {
  if (!status)
    emit callbackFailed(QString::fromUtf8(callback.data(), static_cast<qsizetype>(callback.size())),
                        static_cast<int>(status.error()));
  // Only what the callback's drawing changed (a tick that moved the text, say) is painted again.
  RequestRepaint(TakeChangedArea(devicePixelRatioF()));
}

void ControlWidget::SizeChanged() {
  QtContainer::SizeChanged();
  FitWidget();
  RequestRepaint();
}

int ControlWidget::pixel_scale() const {
  return PixelScale(devicePixelRatioF());
}

QSize ControlWidget::sizeHint() const {
  return LogicalSize(devicePixelRatioF());
}

void ControlWidget::FitWidget() {
  setFixedSize(sizeHint());
}

void ControlWidget::showEvent(QShowEvent* event) {
  // The screen, and with it the device pixel ratio, is known for sure once the widget is shown.
  FitWidget();
  FollowWindow();
  QWidget::showEvent(event);
}

// A window that is restored from minimised may still count as exposed all along, and then Qt does not
// repaint it: ask for that here, for the ticks that were not painted meanwhile.
void ControlWidget::FollowWindow() {
  QWindow* handle = window()->windowHandle();
  if (handle == followed_) return;
  if (followed_) disconnect(followed_, nullptr, this, nullptr);
  followed_ = handle;
  if (handle) connect(handle, &QWindow::windowStateChanged, this, &ControlWidget::Reappear);
}

void ControlWidget::Reappear() {
  RequestRepaint();
}

bool ControlWidget::OnScreen() const {
  if (!isVisible()) return false;
  const QWidget* top = window();
  if (top->isMinimized()) return false;
  const QWindow* handle = top->windowHandle();
  return handle != nullptr && handle->isExposed();
}

void ControlWidget::RequestRepaint(const QRect& area) {
  if (OnScreen()) RepaintPacer::instance().Request(this, area);
}

void ControlWidget::ShapesChanged() {
  QtContainer::ShapesChanged();
  RequestRepaint();
}

void ControlWidget::paintEvent(QPaintEvent*) {
  const gdi::PixelView view = surface().pixels();
  if (!view) return;
  ++paints_;
  QPainter painter(this);
  const qreal image_ratio = devicePixelRatioF() / pixel_scale();
  // At a fractional ratio the widget, a whole number of logical pixels, can overhang the image by a device
  // pixel; that sliver shows the background.
  if (QSizeF(view.width / image_ratio, view.height / image_ratio) != QSizeF(size()))
    painter.fillRect(rect(), QColor::fromRgb(BackPixel()));
  PaintFrame(painter, image_ratio);
}

void ControlWidget::EnabledChanged(bool on) {
  setEnabled(on);
  emit enabledChanged(on);
}

void ControlWidget::PropertyNoticed(std::string_view name) {
  emit propertyChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void ControlWidget::TimerChanged(QtTimer& timer) {
  const std::string_view name = timer.name();
  emit timerChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), timer.running());
}

}  // namespace glimmer::qt
