#include "host/qt/control_widget.h"

#include <QPainter>
#include <QPointF>
#include <algorithm>
#include <cmath>

#include "host/property_bag.h"
#include "host/twips.h"

namespace glimmer::qt {
namespace {

std::int32_t SurfaceSide(double pixels) {
  if (!std::isfinite(pixels) || pixels < 1) return 1;
  return static_cast<std::int32_t>(std::min(std::nearbyint(pixels), double{gdi::kMaxBitmapSide}));
}

}  // namespace

ControlWidget::ControlWidget(const ControlClass& control_class, QWidget* parent)
    : ControlWidget(control_class, Options{}, parent) {}

ControlWidget::ControlWidget(const ControlClass& control_class, Options options, QWidget* parent)
    : QWidget(parent),
      options_(options),
      back_color_(control_class.design->back_color),
      width_(TwipsToPixels(control_class.design->width_twips, options.twips_per_pixel_x)),
      height_(TwipsToPixels(control_class.design->height_twips, options.twips_per_pixel_y)),
      screen_(SurfaceSide(width_), SurfaceSide(height_), PixelOf(control_class.design->back_color)) {
  // Every pixel is painted each time, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  for (const auto& child : control_class.design->children) {
    if (const auto* t = std::get_if<TimerDesign>(&child)) {
      timers_.push_back(std::make_unique<QtTimer>(*t, [this](QtTimer& timer) { Tick(timer); }));
    } else {
      shapes_.push_back(std::make_unique<RectangleShape>(std::get<ShapeDesign>(child), nullptr));
      shapes_.back()->changed = [this] { ShapesChanged(); };
    }
  }
  FitWidget();
  control_ = control_class.create(*this);
  (void)Deliver("UserControl_Initialize", [&] { return control_->UserControl_Initialize(); });
}

ControlWidget::~ControlWidget() {
  StopTimers();
  if (control_) (void)control_->UserControl_Terminate();
  control_.reset();
}

template <class F>
Status ControlWidget::Deliver(std::string_view callback, F&& call) {
  ++busy_;
  const Status status = call();
  --busy_;
  if (!status) {
    callback_errors_.push_back(CallbackError{std::string(callback), status.error()});
    emit callbackFailed(QString::fromUtf8(callback.data(), static_cast<qsizetype>(callback.size())),
                        static_cast<int>(status.error()));
  }
  RequestRepaint();
  return status;
}

Status ControlWidget::InitNew() {
  return Deliver("UserControl_InitProperties", [&] { return control_->UserControl_InitProperties(); });
}
Status ControlWidget::Load(PropertyBag& bag) {
  return Deliver("UserControl_ReadProperties", [&] { return control_->UserControl_ReadProperties(bag); });
}
Status ControlWidget::Save(PropertyBag& bag) {
  return Deliver("UserControl_WriteProperties", [&] { return control_->UserControl_WriteProperties(bag); });
}
Status ControlWidget::Site() {
  return DeliverResize();
}

Status ControlWidget::Resize(double width_pixels, double height_pixels) {
  if (width_pixels == width_ && height_pixels == height_) return {};
  SetPixelSize(width_pixels, height_pixels);
  return DeliverResize();
}

Status ControlWidget::DeliverResize() {
  return Deliver("UserControl_Resize", [&] { return control_->UserControl_Resize(); });
}

void ControlWidget::StopTimers() {
  for (auto& t : timers_)
    (void)t->Enabled(false);
}

bool ControlWidget::FireTimer(std::string_view name) {
  QtTimer* t = timer(name);
  if (t == nullptr || !t->running() || busy_ > 0) return false;
  Tick(*t);
  return true;
}

void ControlWidget::Tick(QtTimer& timer) {
  // A tick never overlaps another callback; one that falls due meanwhile is dropped, as a window's timer
  // messages are.
  if (busy_ > 0) return;
  ++ticks_;
  const std::string handler = std::string(timer.name()) + "_Timer";
  (void)Deliver(handler, [&] { return control_->OnTimer(timer.name()); });
}

void ControlWidget::SetPixelSize(double width, double height) {
  width_ = width;
  height_ = height;
  screen_.Resize(SurfaceSide(width), SurfaceSide(height), BackPixel());
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
  const auto side = [&](double pixels) { return static_cast<int>(std::ceil(SurfaceSide(pixels) * factor)); };
  return {side(width_), side(height_)};
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
const QImage& ControlWidget::Pixels(const gdi::PixelView& view, qreal ratio) {
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
    for (const auto& s : shapes_)
      s->DrawOnto(layer);
    rings_stale_ = false;
  }
  if (rings_.devicePixelRatio() != ratio) rings_.setDevicePixelRatio(ratio);
  return rings_;
}

void ControlWidget::paintEvent(QPaintEvent*) {
  const gdi::PixelView view = screen_.pixels();
  if (!view) return;
  ++paints_;
  QPainter painter(this);
  // Whole device pixels per control pixel: nothing is interpolated, so nothing blurs.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const qreal image_ratio = devicePixelRatioF() / pixel_scale();
  const QImage& pixels = Pixels(view, image_ratio);
  // At a fractional ratio the widget, a whole number of logical pixels, can overhang the image by a device
  // pixel; that sliver shows the background.
  if (pixels.deviceIndependentSize() != QSizeF(size()))
    painter.fillRect(rect(), QColor::fromRgb(BackPixel()));
  painter.drawImage(QPointF(0, 0), pixels);
  painter.drawImage(QPointF(0, 0), Rings(view.width, view.height, image_ratio));
}

Image ControlWidget::Frame() const {
  Image image = screen_.snapshot();
  const gdi::PixelView view{image.pixels.data(), image.width, image.height};
  for (const auto& s : shapes_)
    s->DrawOnto(view);
  return image;
}

QtTimer* ControlWidget::timer(std::string_view name) {
  for (auto& t : timers_)
    if (KeysEqual(t->name(), name)) return t.get();
  return nullptr;
}

RectangleShape* ControlWidget::shape(std::string_view name, std::int16_t index) {
  for (auto& s : shapes_)
    if (KeysEqual(s->name(), name) && s->index() == index) return s.get();
  return nullptr;
}

Pixel ControlWidget::BackPixel() const {
  ColorRef rgb;
  return gdi::OleTranslateColor(back_color_, 0, &rgb) == gdi::S_OK ? PixelOf(rgb) : MakePixel(0, 0, 0);
}

Result<float> ControlWidget::ScaleWidth() const {
  return static_cast<float>(width_);
}
Result<float> ControlWidget::ScaleHeight() const {
  return static_cast<float>(height_);
}

// The control draws only inside callbacks (and Cls), after each of which the widget asks for a repaint.
Result<gdi::HDC> ControlWidget::hDC() const {
  return screen_.dc();
}

Result<ColorRef> ControlWidget::BackColor() const {
  return back_color_;
}

Status ControlWidget::Cls() {
  screen_.Fill(BackPixel());
  RequestRepaint();
  return {};
}

Status ControlWidget::Enabled(bool on) {
  setEnabled(on);
  return {};
}

Status ControlWidget::Width(float twips) {
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  const double pixels = TwipsToPixels(twips, options_.twips_per_pixel_x);
  if (pixels == width_) return {};
  SetPixelSize(pixels, height_);
  (void)DeliverResize();
  return {};
}

Status ControlWidget::Height(float twips) {
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  const double pixels = TwipsToPixels(twips, options_.twips_per_pixel_y);
  if (pixels == height_) return {};
  SetPixelSize(width_, pixels);
  (void)DeliverResize();
  return {};
}

Result<float> ControlWidget::TwipsPerPixelX() const {
  return options_.twips_per_pixel_x;
}
Result<float> ControlWidget::TwipsPerPixelY() const {
  return options_.twips_per_pixel_y;
}

Result<Timer*> ControlWidget::TimerChild(std::string_view name) {
  if (QtTimer* t = timer(name)) return t;
  return Fail(Error::ObjectRequired);
}

Result<Shape*> ControlWidget::ShapeChild(std::string_view name, std::int16_t index) {
  if (RectangleShape* s = shape(name, index)) return s;
  return Fail(Error::ObjectRequired);
}

Status ControlWidget::PropertyChanged(std::string_view name) {
  emit propertyChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  return {};
}

Status ControlWidget::RaiseEvent(DispId event) {
  emit eventRaised(event);
  if (on_event) on_event(event);
  return {};
}

}  // namespace glimmer::qt
