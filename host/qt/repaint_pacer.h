// SPDX-License-Identifier: MIT
// Paces the repaints that controls ask for, so that many controls ticking at phases of their own are painted
// together, a frame at a time, instead of each tick on its own.
//
// Every repaint costs Qt a pass over the window's widgets and a flush to the display, whatever was drawn: a
// wall of a hundred signs that each tick every 50 ms at a phase of its own asks for 2,000 repaints a second,
// and those, not the ticks, would be most of its cost. A request when no repaint was issued within the last
// frame (about 60 a second) is passed on at once, so a single sign is painted as soon as it ticks; one
// within a frame of the last waits for the frame's end, when every widget that asked meanwhile is repainted
// in one pass. No tick is delayed and no tick's pixels are lost at any Delay above a frame; the screen shows
// at most one frame a frame, as a display does anyway.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace glimmer {
class TestAccess;
}  // namespace glimmer

namespace glimmer::qt {

class RepaintPacer final : public QObject {
 public:
  static constexpr int kDefaultFrameMilliseconds = 16;

  // The pacer of the GUI thread, shared by every container widget; made on first use as a child of the
  // application, so it goes with it.
  [[nodiscard]] static RepaintPacer& instance();

  // Asks for a repaint of `area` of the widget (all of it when empty): at once, or with the others at the
  // end of the current frame.
  void Request(QWidget* widget, const QRect& area = {});
  // Repaints issued so far (each a QWidget::update of one widget, or of several together).
  [[nodiscard]] long long frames() const { return frames_; }

 private:
  // Tests lengthen the frame (frame_) to see what a frame gathers, whatever the machine's speed.
  friend class glimmer::TestAccess;
  explicit RepaintPacer(QObject* application);
  void EndFrame();

  struct Pending {
    QPointer<QWidget> widget;
    QRect area;
  };
  std::vector<Pending> pending_;
  QElapsedTimer last_;
  QTimer timer_;
  int frame_ = kDefaultFrameMilliseconds;
  long long frames_ = 0;
};

}  // namespace glimmer::qt
