// SPDX-License-Identifier: MIT
// The Qt Quick Test of the QML module Glimmer (tst_led_sign.qml), on the offscreen platform with Qt Quick's
// software renderer. The QML side gets `reference`: a headless container of the same sign on a virtual
// clock, whose frames the item's grabbed pixels are compared with, and a look at what QML cannot see (the
// control's Enabled, the item's paints).
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QtQuickTest>
#include <memory>

#include "control/led.h"
#include "host/headless/headless_container.h"
#include "qt/core/sign_core.h"
#include "qt/quick/led_sign_item.h"
#include "tests/support/grab_difference.h"

namespace glimmer {
namespace qt {

// What the item keeps to itself: its core (the control, the container's pixels) and its paints.
class LedSignItemProbe {
 public:
  static SignCore& Core(QQuickItem* sign) { return *qobject_cast<LedSignItem*>(sign)->core_; }
  static std::int64_t Paints(QQuickItem* sign) { return qobject_cast<LedSignItem*>(sign)->paints_; }
};

}  // namespace qt

class Reference : public QObject {
  Q_OBJECT

 public:
  // A headless sign set up as `sign` is now (width, text, colour, rings, repeat), shown.
  Q_INVOKABLE bool start(QQuickItem* sign) {
    auto& item = Item(sign);
    headless_ = std::make_unique<HeadlessContainer>(LED::Class());
    auto& led = headless_->control_as<LED>();
    const auto& core = qt::LedSignItemProbe::Core(sign);
    return headless_->InitNew() && headless_->Resize(core.width_pixels(), core.height_pixels()) &&
           led.Value(item.text().toStdU16String()) && led.Color(static_cast<std::int32_t>(item.color())) &&
           led.BorderStyle(item.borderStyle()) && led.Repeated(Boolean(item.isRepeated())) && led.Show();
  }
  // Runs the headless sign's own timer `ticks` times on its virtual clock; the ticks that ran.
  Q_INVOKABLE int advance(int ticks) { return static_cast<int>(headless_->RunTicks(ticks)); }
  // Where the window's pixels under `sign` differ from the headless frame drawn at the container's whole
  // scale: "" when they do not.
  Q_INVOKABLE QString difference(QQuickItem* sign) {
    const QImage window = sign->window()->grabWindow().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = sign->window()->effectiveDevicePixelRatio();
    const QPoint origin = (sign->mapToScene(QPointF(0, 0)) * ratio).toPoint();
    const Image frame = headless_->Frame();
    const int scale = qt::QtContainer::PixelScale(ratio);
    const QImage grab = window.copy(QRect(origin, QSize(frame.width * scale, frame.height * scale)));
    return QString::fromStdString(testing::GrabDifference(grab, frame, scale));
  }
  // The window's pixels that differ from its colour within 161 x 32 logical pixels from the item's top left
  // corner but outside the item.
  Q_INVOKABLE int drawnOutside(QQuickItem* sign) {
    const QImage window = sign->window()->grabWindow().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = sign->window()->effectiveDevicePixelRatio();
    const QRectF item = sign->mapRectToScene(QRectF(QPointF(0, 0), sign->size()));
    int drawn = 0;
    for (int y = 0; y < static_cast<int>(32 * ratio); ++y)
      for (int x = 0; x < static_cast<int>(161 * ratio); ++x) {
        const QPointF device = item.topLeft() * ratio + QPointF(x + 0.5, y + 0.5);
        if (!QRectF(item.topLeft() * ratio, item.size() * ratio).contains(device) &&
            window.pixel(device.toPoint()) != sign->window()->color().rgb())
          ++drawn;
      }
    return drawn;
  }
  // The width of the sign drawn in `sign`, in the control's pixels.
  Q_INVOKABLE int signWidth(QQuickItem* sign) { return qt::LedSignItemProbe::Core(sign).width_pixels(); }
  Q_INVOKABLE qreal ratio(QQuickItem* sign) { return sign->window()->effectiveDevicePixelRatio(); }
  // The ratio CTest asked for (QT_SCALE_FACTOR), or 1.
  Q_INVOKABLE qreal expectedRatio() {
    return qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
  }
  Q_INVOKABLE int paints(QQuickItem* sign) { return static_cast<int>(qt::LedSignItemProbe::Paints(sign)); }
  Q_INVOKABLE bool controlEnabled(QQuickItem* sign) {
    return static_cast<bool>(qt::LedSignItemProbe::Core(sign).led().Enabled());
  }
  Q_INVOKABLE bool setControlEnabled(QQuickItem* sign, bool on) {
    return static_cast<bool>(qt::LedSignItemProbe::Core(sign).led().Enabled(Boolean(on)));
  }

 private:
  static qt::LedSignItem& Item(QQuickItem* sign) { return *qobject_cast<qt::LedSignItem*>(sign); }

  std::unique_ptr<HeadlessContainer> headless_;
};

class Setup : public QObject {
  Q_OBJECT

 public:
  Setup() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  }

 public slots:
  // Pixels drawn by the CPU, the same on every machine.
  void applicationAvailable() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }
  void qmlEngineAvailable(QQmlEngine* engine) {
    engine->addImportPath(QStringLiteral(GLIMMER_QML_DIR));
    engine->rootContext()->setContextProperty("reference", &reference_);
  }

 private:
  Reference reference_;
};

}  // namespace glimmer

QUICK_TEST_MAIN_WITH_SETUP(led_sign_quick_test, glimmer::Setup)

#include "led_sign_quick_test.moc"
