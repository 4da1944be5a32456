// A Qt 6 widget that hosts one control: the Qt counterpart of the headless container.
//
// The control draws into an in-memory surface (the drawing layer's bitmap); the widget shows those pixels
// 1:1, scaled by a whole factor only on a screen of device pixel ratio 2 or more, never smoothed, and draws
// the control's rectangle shapes over them exactly as the headless container does. Each child timer runs on
// a QTimer of precise type. Callbacks are delivered one at a time on the GUI thread: a timer that elapses
// while a callback is still running (a host's event handler that opens a dialog, say) skips that tick.
//
// The widget's size follows the control's: a size the control assigns itself (in twips) changes the widget
// and raises UserControl_Resize again before the assignment returns. Qt measures widgets in
// device-independent pixels of 1/96 inch, so the container reports 15 twips per pixel whatever the screen.
//
// While the widget is hidden, or its window minimised or not exposed, ticks go on (the control's events and
// timing are its own) but nothing is painted: no repaint is asked for until the widget can be seen again,
// and then it shows the control's current pixels.
//
// Events the control raises reach the host as the eventRaised signal and through on_event, both before the
// raise returns. Placing a control in an application takes a few lines:
//
//   auto* sign = new glimmer::qt::ControlWidget(glimmer::LED::Class());
//   (void)sign->InitNew();  // or Load(bag) for saved state
//   (void)sign->Site();     // the first UserControl_Resize
//   layout->addWidget(sign);
//   QObject::connect(sign, &glimmer::qt::ControlWidget::eventRaised, handler);
#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/container_base.h"
#include "host/qt/qt_timer.h"

namespace glimmer::qt {

class ControlWidget final : public QWidget, public ContainerBase {
  Q_OBJECT

 public:
  struct Options {
    float twips_per_pixel_x = 15.0f;
    float twips_per_pixel_y = 15.0f;
  };

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize.
  explicit ControlWidget(const ControlClass& control_class, QWidget* parent = nullptr);
  ControlWidget(const ControlClass& control_class, Options options, QWidget* parent = nullptr);
  // Stops every timer (no tick reaches a control that is going away), delivers UserControl_Terminate and
  // destroys the control.
  ~ControlWidget() override;

  // Stops every child timer, as a window does before it goes away.
  void StopTimers() override;
  // Delivers one tick of the named timer as if its QTimer had elapsed: only while that timer runs and no
  // other callback is in progress. Returns whether the tick was delivered. Hosts that keep their own time
  // (and tests) drive the control with it.
  bool FireTimer(std::string_view name);
  // Ticks delivered so far.
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  // Times the widget has been painted so far.
  [[nodiscard]] std::int64_t paints() const { return paints_; }
  // Whether a repaint would reach the screen: the widget is visible and its window neither minimised nor
  // unexposed.
  [[nodiscard]] bool OnScreen() const;
  [[nodiscard]] QtTimer* timer(std::string_view name);
  // The whole factor each control pixel is drawn with: 1, or the integer part of a device pixel ratio of 2
  // or more.
  [[nodiscard]] int pixel_scale() const;

  [[nodiscard]] QSize sizeHint() const override;

  Result<Timer*> TimerChild(std::string_view name) override;

 signals:
  // A declared event of the control was raised (for the LED, Terminate is 3); before on_event runs.
  void eventRaised(int event);
  // The control asked the host to save the named property.
  void propertyChanged(const QString& name);
  // A callback returned an error (its name, and the error's number).
  void callbackFailed(const QString& callback, int error);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

  // The control draws only inside callbacks and Cls; after each the widget asks for a repaint.
  void CallbackDone(std::string_view callback, const Status& status) override;
  void AreaCleared() override { RequestRepaint(); }
  void SizeChanged() override;
  void ShapesChanged() override;
  void EnabledChanged(bool on) override { setEnabled(on); }
  void PropertyNoticed(std::string_view name) override;
  void EventNoticed(DispId event) override { emit eventRaised(event); }

 private:
  void Tick(QtTimer& timer);
  void FitWidget();
  // Asks for a repaint only when it would be seen; a widget that comes back is repainted whole by Qt, or by
  // Reappear.
  void RequestRepaint();
  void Reappear();
  void FollowWindow();
  [[nodiscard]] const QImage& PixelImage(const gdi::PixelView& view, qreal ratio);
  [[nodiscard]] const QImage& Rings(std::int32_t width, std::int32_t height, qreal ratio);

  std::vector<std::unique_ptr<QtTimer>> timers_;
  // The screen's pixels as an image that shares their memory, made again only when the surface moves.
  QImage pixels_;
  // The shapes' outlines on a transparent layer, redrawn only when a shape or the size changes.
  QImage rings_;
  bool rings_stale_ = true;
  // The top-level window whose state changes are followed.
  QPointer<QWindow> followed_;

  std::int64_t ticks_ = 0;
  std::int64_t paints_ = 0;
};

}  // namespace glimmer::qt
