// SPDX-License-Identifier: MIT
#include "qt/core/sign_core.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <algorithm>
#include <cmath>
#include <limits>

#include "control/geometry/led_design.h"
#include "control/interface/led_members.h"
#include "host/automation/property_value.h"
#include "qt/core/device_grid.h"

namespace glimmer::qt {
SignCore::Call::~Call() {
  if (--core_.calls_ == 0 && core_.disposed_) delete &core_;
}

SignCore::SignCore(SignView& view)
    : QtContainer(LED::Class(), Options{}), led_([this]() -> LED& {
        CreateControl(LED::Class());
        return control_as<LED>();
      }()) {
  (void)InitNew();
  (void)Site();
  for (std::size_t i = 0; i < known_.size(); ++i)
    known_[i] = Read(static_cast<Property>(i));
  natural_ = Size();
  view_ = &view;
}

SignCore::~SignCore() {
  view_ = nullptr;
  DestroyControl();
}

void SignCore::Dispose(SignCore* core) {
  if (core == nullptr) return;
  core->view_ = nullptr;
  if (core->calls_ == 0) {
    delete core;
    return;
  }
  // A handler deleted the face: no more ticks, and the core goes when the call into it returns.
  core->StopTimers();
  core->disposed_ = true;
}

// --- Properties -----------------------------------------------------------------------------------------

std::optional<std::int32_t> SignCore::ExactInt(const QVariant& value) {
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
      const double d = value.toDouble();
      if (!std::isfinite(d) || d != std::trunc(d) || d < kMin || d > kMax) return std::nullopt;
      return static_cast<std::int32_t>(d);
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UInt: {
      const qulonglong u = value.toULongLong();
      if (u > static_cast<qulonglong>(kMax)) return std::nullopt;
      return static_cast<std::int32_t>(u);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
      break;
    default:
      // A text, a truth value or anything else is not a number, even where Qt would convert it ("75", true);
      // an enumeration is its value.
      if (!(value.metaType().flags() & QMetaType::IsEnumeration)) return std::nullopt;
      break;
  }
  bool ok = false;
  const qlonglong n = value.toLongLong(&ok);
  if (!ok || n < kMin || n > kMax) return std::nullopt;
  return static_cast<std::int32_t>(n);
}

QVariant SignCore::Read(Property property) const {
  switch (property) {
    case Property::BorderStyle:
      return led_.BorderStyle();
    case Property::Color:
      return QVariant::fromValue(static_cast<LedSignProperties::Color>(led_.Color()));
    case Property::Delay:
      return int{led_.Delay()};
    case Property::Enabled:
      return static_cast<bool>(led_.Enabled());
    case Property::Repeated:
      return static_cast<bool>(led_.Repeated());
    case Property::Text:
      return QString::fromStdU16String(led_.Value());
    case Property::Glyphs:
      return QVariant::fromValue(static_cast<LedSignProperties::Glyphs>(led_.GlyphSet()));
    case Property::UpperCase:
      return led_.UpperCase();
  }
  return {};
}

Status SignCore::WriteControl(Property property, const QVariant& value) {
  if (property == Property::Text) return led_.Value(value.toString().toStdU16String());
  if (property == Property::Enabled) return led_.Enabled(Boolean(value.toBool()));
  if (property == Property::Repeated) return led_.Repeated(Boolean(value.toBool()));
  if (property == Property::UpperCase) return led_.UpperCase(value.toBool());
  const auto number = ExactInt(value);
  if (!number) return Fail(Error::InvalidPropertyValue);
  if (property == Property::Color) return led_.Color(*number);
  if (property == Property::BorderStyle) return led_.BorderStyle(*number);
  if (property == Property::Glyphs) return led_.GlyphSet(static_cast<GlyphSet>(*number));
  // The host's one conversion rule: a number beyond 16 bits does not become a Delay (it is not wrapped).
  const auto delay = PropertyValue(*number).ToInt16();
  if (!delay) return Fail(Error::InvalidPropertyValue);
  return led_.Delay(*delay);
}

bool SignCore::Write(Property property, const QVariant& value) {
  const Call call(*this);
  const bool written = static_cast<bool>(WriteControl(property, value));
  // The control tells of its own properties; the host's choices of glyphs are told here.
  if (written && (property == Property::Glyphs || property == Property::UpperCase))
    PropertyNoticed(LedSignProperties::memberName(property));
  return written;
}

// The control's notice of an accepted write, inside the write: NOTIFY when the value really changed.
void SignCore::PropertyNoticed(std::string_view name) {
  if (view_ == nullptr) return;
  const auto property = LedSignProperties::fromMemberName(name);
  if (!property) return;
  QVariant now = Read(*property);
  QVariant& known = known_[static_cast<std::size_t>(*property)];
  if (now == known) return;
  known = now;
  // The face's own enabled follows through EnabledChanged and notifies as its toolkit does.
  if (*property == Property::Enabled) return;
  if (*property == Property::Text) view_->TextChanged();
  Notify(LedSignProperties::qtName(*property), now);
}

// Emits the face's NOTIFY signal of a property, with the value as its parameter when it has one.
void SignCore::Notify(const char* property, const QVariant& value) {
  if (view_ == nullptr) return;
  QObject& face = view_->face();
  const QMetaObject* meta = face.metaObject();
  const int index = meta->indexOfProperty(property);
  if (index < 0 || !meta->property(index).hasNotifySignal()) return;
  const QMetaMethod signal = meta->property(index).notifySignal();
  if (signal.parameterCount() == 0) {
    signal.invoke(&face, Qt::DirectConnection);
    return;
  }
  QVariant argument = value;
  const QMetaType type = signal.parameterMetaType(0);
  if (!argument.convert(type)) return;
  signal.invoke(&face, Qt::DirectConnection, QGenericArgument(type.name(), argument.constData()));
}

void SignCore::Emit(const char* signal) {
  if (view_ != nullptr) QMetaObject::invokeMethod(&view_->face(), signal, Qt::DirectConnection);
}

// --- Playing ------------------------------------------------------------------------------------------

bool SignCore::Start() {
  const Call call(*this);
  QtTimer* t = LedTimer();
  if (stopped_ && t != nullptr) {
    stopped_ = false;
    return static_cast<bool>(t->Enabled(true));
  }
  if (finished_) return Restart();
  return Show();
}

// The control draws at the size it has when it starts: the size the face was given is taken now (a hidden
// widget gets its resize events only when it is shown).
bool SignCore::Show() {
  if (view_ != nullptr) FitTo(view_->GivenSize());
  return static_cast<bool>(led_.Show());
}

QtTimer* SignCore::LedTimer() {
  return timer(kTimerLED);
}

// The control's timer is Enabled (it may have no interval, and then does not tick).
bool SignCore::TimerOn() {
  const QtTimer* t = LedTimer();
  if (t == nullptr) return false;
  const auto on = t->Enabled();
  return on && *on;
}

bool SignCore::Stop() {
  const Call call(*this);
  if (!TimerOn()) return false;
  stopped_ = true;
  return static_cast<bool>(LedTimer()->Enabled(false));
}

bool SignCore::Restart() {
  const Call call(*this);
  const bool was = Scrolling();
  restarting_ = true;
  const bool done = static_cast<bool>(led_.Clear());
  stopped_ = finished_ = false;
  const bool shown = done && Show();
  restarting_ = false;
  if (Scrolling() != was) {
    Notify("scrolling", Scrolling());
    if (view_ != nullptr) view_->ScrollingChanged(Scrolling());
  }
  return shown;
}

bool SignCore::Clear() {
  const Call call(*this);
  stopped_ = finished_ = false;
  return static_cast<bool>(led_.Clear());
}

void SignCore::KeyClick() {
  const Call call(*this);
  Emit("clicked");
}

void SignCore::PaintFocusFrame(QPainter& painter, QSizeF area) {
  // A dotted line in the highlight of the default palette, on the outer (grey) ring, so that the dots
  // themselves stay as the control drew them.
  QPen pen(QColor(0x30, 0x8c, 0xc6), 1, Qt::DotLine);
  painter.save();
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(QPointF(0.5, 0.5), area - QSizeF(1, 1)));
  painter.restore();
}

bool SignCore::Advance() {
  const Call call(*this);
  return FireTimer(kTimerLED);
}

void SignCore::Tick(QtTimer& timer) {
  const Call call(*this);
  QtContainer::Tick(timer);
}

bool SignCore::Scrolling() const {
  const QtTimer* t = timer(kTimerLED);
  return t != nullptr && t->running();
}

void SignCore::TimerChanged(QtTimer& timer) {
  if (view_ == nullptr || timer.name() != kTimerLED || restarting_) return;
  Notify("scrolling", timer.running());
  if (view_ != nullptr) view_->ScrollingChanged(timer.running());
}

void SignCore::EventNoticed(DispId event) {
  if (event == kTerminateEvent) {
    // The control has stopped its timer already when the pass does not repeat.
    finished_ = !TimerOn();
    Emit("passFinished");
  }
  if (event == kClickEvent) Emit("clicked");
  if (event == kDblClickEvent) Emit("doubleClicked");
}

void SignCore::Press(bool left) {
  clicks_.Press(left);
}

void SignCore::Release(bool left, bool inside) {
  const Call call(*this);
  if (clicks_.Release(left, inside)) Emit("clicked");
}

void SignCore::DoubleClick(bool left) {
  const Call call(*this);
  if (clicks_.DoubleClick(left)) Emit("doubleClicked");
}

// --- Size and pixels ----------------------------------------------------------------------------------

QSize SignCore::Size() const {
  return LogicalSize(1);
}

void SignCore::FitTo(QSizeF given) {
  if (view_ == nullptr || fitting_ || given == given_) return;
  const Call call(*this);
  given_ = given;
  fitting_ = true;
  const double width = std::clamp(std::floor(given.width()) - 2, 0.0, double{kWidestSign});
  (void)Resize(width, std::max(0.0, std::round(given.height())));
  fitting_ = false;
  if (view_ != nullptr) view_->SizeChanged(Size());
}

void SignCore::SizeChanged() {
  QtContainer::SizeChanged();
  if (view_ == nullptr) return;
  if (!fitting_) view_->SizeChanged(Size());
  FrameChanged();
}

void SignCore::Paint(QPainter& painter, qreal ratio, std::optional<QColor> dim_over, bool focus) {
  if (!dim_over && DeviceGrid::Whole(ratio)) {
    PaintFrame(painter, 1);
  } else {
    const QImage image = FaceImage(ratio, dim_over, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(QPointF(0, 0), image.deviceIndependentSize()), image);
  }
  if (focus) PaintFocusFrame(painter, Size());
}

QImage SignCore::FaceImage(qreal ratio, std::optional<QColor> dim_over, bool focus) {
  QImage image = FrameImage();
  if (image.isNull()) return image;
  if (!DeviceGrid::Whole(ratio)) image = DeviceGrid::Lay(image, ratio);
  if (dim_over) Dim(image, dim_over->rgb());
  if (focus) {
    QPainter painter(&image);
    PaintFocusFrame(painter, image.deviceIndependentSize());
  }
  return image;
}

// Half opacity over the background, in integers, so that every face gets the same pixels.
void SignCore::Dim(QImage& image, QRgb over) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      line[x] =
          qRgb((qRed(p) + qRed(over)) / 2, (qGreen(p) + qGreen(over)) / 2, (qBlue(p) + qBlue(over)) / 2);
    }
  }
}

QImage SignCore::FrameImage() {
  const gdi::PixelView view = surface().pixels();
  if (!view) return {};
  QImage frame(view.width, view.height, QImage::Format_RGB32);
  QPainter painter(&frame);
  PaintFrame(painter, 1);
  return frame;
}

// --- Callbacks ----------------------------------------------------------------------------------------

void SignCore::FrameChanged() {
  if (view_ != nullptr) view_->FrameChanged();
}

// Only what the callback's drawing changed (a tick that moved the text, say) is shown again.
void SignCore::CallbackDone(std::string_view /*callback*/, const Status& /*status*/) {
  if (view_ == nullptr) return;
  // At a fractional ratio a control pixel has no rectangle of its own on the screen (DeviceGrid): all of it.
  const QRect changed = TakeChangedArea(1);
  if (changed.isEmpty() || !DeviceGrid::Whole(view_->ratio()))
    FrameChanged();
  else
    view_->AreaChanged(changed);
}

void SignCore::AreaCleared() {
  FrameChanged();
}

void SignCore::ShapesChanged() {
  QtContainer::ShapesChanged();
  FrameChanged();
}

void SignCore::EnabledChanged(bool on) {
  if (view_ != nullptr) view_->EnabledChanged(on);
}

}  // namespace glimmer::qt
