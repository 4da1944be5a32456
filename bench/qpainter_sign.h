// SPDX-License-Identifier: MIT
// A typical Qt LED sign widget, for comparison with LedSign in the wall benchmark: a QWidget with its own
// precise QTimer whose paintEvent draws the rings and every 2 x 2 dot with QPainter::fillRect, lit or unlit
// as the scrolling text asks. It shows what LedSign shows at the same size (the same font, pitch and
// colours), the way a Qt developer would write it without the control.
#pragma once

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace glimmer::bench {

class QPainterSign final : public QWidget {
 public:
  // `width` snaps as the control's does: 3n + 2 pixels, and always 32 high.
  QPainterSign(QString text, QColor lit, QColor unlit, int width, QWidget* parent = nullptr);

  [[nodiscard]] const QTimer& timer() const { return timer_; }
  // Starts the text from the right edge, one dot column every `milliseconds`.
  void start(int milliseconds);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  [[nodiscard]] bool Lit(int column, int row) const;

  QString text_;
  QColor lit_;
  QColor unlit_;
  int columns_;  // dot columns on display
  int step_ = 0;
  QTimer timer_;
};

}  // namespace glimmer::bench
