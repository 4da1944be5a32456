// SPDX-License-Identifier: MIT
// The baseline any Qt program pays, for comparison with the running demo: a window of the demo's size whose
// precise 50 ms timer only asks for a repaint of a 251 x 32 area. GLIMMER_TICK_LOG records its ticks as the
// demo records its own.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <iostream>

#include "demo/qt/tick_recorder.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Bare");
  window.setFixedSize(265, 112);  // FormGlimmer's client area

  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &window, [&window] { window.update(8, 8, 251, 32); });
  const auto recorder = glimmer::TickRecorder::FromEnvironment(timer, std::cerr);
  timer.start(50);
  window.show();
  return app.exec();
}
