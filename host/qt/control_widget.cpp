#include "host/qt/control_widget.h"

#include <QPainter>
#include <QPointF>
#include <algorithm>
#include <cmath>

#include "host/automation/property_bag.h"

namespace glimmer::qt {

ControlWidget::ControlWidget(const ControlClass& control_class, QWidget* parent)
    : ControlWidget(control_class, Options{}, parent) {}

ControlWidget::ControlWidget(const ControlClass& control_class, Options options, QWidget* parent)
    : QWidget(parent),
      ContainerBase(control_class, {.twips_per_pixel_x = options.twips_per_pixel_x,
                                    .twips_per_pixel_y = options.twips_per_pixel_y}) {
  // Every pixel is painted each time, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  for (const auto& child : control_class.design->children)
    if (const auto* t = std::get_if<TimerDesign>(&child))
      timers_.push_back(std::make_unique<QtTimer>(*t, [this](QtTimer& timer) { Tick(timer); }));
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
  RequestRepaint();
}

void ControlWidget::StopTimers() {
  for (auto& t : timers_)
    (void)t->Enabled(false);
}

bool ControlWidget::FireTimer(std::string_view name) {
  QtTimer* t = timer(name);
  if (t == nullptr || !t->running() || busy()) return false;
  Tick(*t);
  return true;
}

void ControlWidget::Tick(QtTimer& timer) {
  // A tick never overlaps another callback; one that falls due meanwhile is dropped, as a window's timer
  // messages are.
  if (busy()) return;
  ++ticks_;
  (void)Deliver(std::string(timer.name()) + "_Timer", [&] { return control().OnTimer(timer.name()); });
}

void ControlWidget::SizeChanged() {
  rings_stale_ = true;
  FitWidget();
  RequestRepaint();
}

int ControlWidget::pixel_scale() const {
  const qreal ratio = devicePixelRatioF();
  return ratio >= 2 ? static_cast<int>(std::floor(ratio)) : 1;
}

QSize ControlWidget::sizeHint() const {
  // The surface drawn at `scale` device pixels per control pixel, in the widget's logical pixels.
  const qreal factor = pixel_scale() / devicePixelRatioF();
  const gdi::PixelView view = surface().pixels();
  return {static_cast<int>(std::ceil(view.width * factor)),
          static_cast<int>(std::ceil(view.height * factor))};
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

void ControlWidget::RequestRepaint() {
  if (OnScreen()) update();
}

void ControlWidget::ShapesChanged() {
  rings_stale_ = true;
  RequestRepaint();
}

// Made from writable memory, so that setting the ratio never copies the pixels.
const QImage& ControlWidget::PixelImage(const gdi::PixelView& view, qreal ratio) {
  auto* data = reinterpret_cast<uchar*>(view.data);
  if (pixels_.constBits() != data || pixels_.width() != view.width || pixels_.height() != view.height) {
    // The surface's 0xFFRRGGBB words are RGB32.
    pixels_ =
        QImage(data, view.width, view.height, static_cast<qsizetype>(view.width) * 4, QImage::Format_RGB32);
  }
  if (pixels_.devicePixelRatio() != ratio) pixels_.setDevicePixelRatio(ratio);
  return pixels_;
}

const QImage& ControlWidget::Rings(std::int32_t width, std::int32_t height, qreal ratio) {
  if (rings_stale_ || rings_.width() != width || rings_.height() != height) {
    rings_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    rings_.fill(Qt::transparent);
    // The outlines are opaque 0xFFRRGGBB words, the same words the headless container draws.
    const gdi::PixelView layer{reinterpret_cast<Pixel*>(rings_.bits()), width, height};
    for (const auto& s : shapes())
      s->DrawOnto(layer);
    rings_stale_ = false;
  }
  if (rings_.devicePixelRatio() != ratio) rings_.setDevicePixelRatio(ratio);
  return rings_;
}

void ControlWidget::paintEvent(QPaintEvent*) {
  const gdi::PixelView view = surface().pixels();
  if (!view) return;
  ++paints_;
  QPainter painter(this);
  // Whole device pixels per control pixel: nothing is interpolated, so nothing blurs.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const qreal image_ratio = devicePixelRatioF() / pixel_scale();
  const QImage& pixels = PixelImage(view, image_ratio);
  // At a fractional ratio the widget, a whole number of logical pixels, can overhang the image by a device
  // pixel; that sliver shows the background.
  if (pixels.deviceIndependentSize() != QSizeF(size()))
    painter.fillRect(rect(), QColor::fromRgb(BackPixel()));
  painter.drawImage(QPointF(0, 0), pixels);
  painter.drawImage(QPointF(0, 0), Rings(view.width, view.height, image_ratio));
}

QtTimer* ControlWidget::timer(std::string_view name) {
  for (auto& t : timers_)
    if (KeysEqual(t->name(), name)) return t.get();
  return nullptr;
}

Result<Timer*> ControlWidget::TimerChild(std::string_view name) {
  if (QtTimer* t = timer(name)) return t;
  return Fail(Error::ObjectRequired);
}

void ControlWidget::PropertyNoticed(std::string_view name) {
  emit propertyChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

}  // namespace glimmer::qt
