// SPDX-License-Identifier: MIT
// A Qt 6 widget that hosts one control: the Qt counterpart of the headless container.
//
// The control draws into an in-memory surface (the drawing layer's bitmap); the widget shows those pixels
// 1:1, scaled by a whole factor only on a screen of device pixel ratio 2 or more, never smoothed, and draws
// the control's rectangle shapes over them exactly as the headless container does. Timers, ticks and the
// frame's images are the widget-free QtContainer's: each child timer runs on a QTimer of precise type, and
// callbacks are delivered one at a time on the GUI thread.
//
// The widget's size follows the control's: a size the control assigns itself (in twips) changes the widget
// and raises UserControl_Resize again before the assignment returns. Qt measures widgets in
// device-independent pixels of 1/96 inch, so the container reports 15 twips per pixel whatever the screen.
//
// While the widget is hidden, or its window minimised or not exposed, ticks go on (the control's events and
// timing are its own) but nothing is painted: no repaint is asked for until the widget can be seen again,
// and then it shows the control's current pixels.
//
// Repaints go through the thread's RepaintPacer: a sign that ticks when nothing was painted within the last
// frame (16 ms) is repainted at once; many signs ticking at phases of their own are repainted together at
// the end of the frame, in one pass over the window and one flush to the display, instead of one each.
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

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <string_view>

#include <glimmer/host/qt/qt_container.h>

namespace glimmer {
class TestAccess;
}  // namespace glimmer

namespace glimmer::qt {

class ControlWidget final : public QWidget, public QtContainer {
  Q_OBJECT

 public:
  using Options = QtContainer::Options;

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize.
  explicit ControlWidget(const ControlClass& control_class, QWidget* parent = nullptr);
  ControlWidget(const ControlClass& control_class, Options options, QWidget* parent = nullptr);
  // Stops every timer (no tick reaches a control that is going away), delivers UserControl_Terminate and
  // destroys the control.
  ~ControlWidget() override;

  // Whether a repaint would reach the screen: the widget is visible and its window neither minimised nor
  // unexposed.
  [[nodiscard]] bool OnScreen() const;
  // The whole factor each control pixel is drawn with: 1, or the integer part of a device pixel ratio of 2
  // or more.
  [[nodiscard]] int pixel_scale() const;

  [[nodiscard]] QSize sizeHint() const override;

 signals:
  // A declared event of the control was raised (for the LED, Terminate is 3); before on_event runs.
  void eventRaised(int event);
  // The control asked the host to save the named property.
  void propertyChanged(const QString& name);
  // A callback returned an error (its name, and the error's number).
  void callbackFailed(const QString& callback, int error);
  // The control set whether it takes user input (the widget's own enabled state follows it).
  void enabledChanged(bool on);
  // A child timer started or stopped.
  void timerChanged(const QString& name, bool running);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

  // The control draws only inside callbacks and Cls; after each the widget asks for a repaint.
  void CallbackDone(std::string_view callback, const Status& status) override;
  void AreaCleared() override { RequestRepaint(); }
  void SizeChanged() override;
  void ShapesChanged() override;
  void EnabledChanged(bool on) override;
  void PropertyNoticed(std::string_view name) override;
  void EventNoticed(DispId event) override { emit eventRaised(event); }
  void TimerChanged(QtTimer& timer) override;

 private:
  // Tests count the paints (paints_).
  friend class glimmer::TestAccess;
  void FitWidget();
  // Asks for a repaint only when it would be seen; a widget that comes back is repainted whole by Qt, or by
  // Reappear.
  void RequestRepaint(const QRect& area = {});
  void Reappear();
  void FollowWindow();

  // The top-level window whose state changes are followed.
  QPointer<QWindow> followed_;
  std::int64_t paints_ = 0;
};

}  // namespace glimmer::qt
