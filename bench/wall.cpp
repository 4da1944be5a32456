// SPDX-License-Identifier: MIT
// A wall of signs: N signs in a grid layout, each with its own 50 ms timer and its own text and colour,
// either LedSigns or the typical QPainter widget (QPainterSign) for comparison. scripts/bench runs both side
// by side under Xvfb and measures their CPU, memory and tick intervals (GLIMMER_TICK_LOG records the ticks
// of every sign's timer, as the demo records its own).
//
//   wall glimmer|qpainter N [--same-phase]
//
// The signs start once the window has been laid out and shown, so that start-up does not fall into the
// measured intervals, and their timers are spread evenly over one period: signs started independently (by
// data arriving, by the user) tick at phases of their own, and each tick then asks for a repaint of its own.
// --same-phase starts them all at once instead, so that Qt paints every tick of one period together.
#include <glimmer/qt/led_sign.h>

#include <QApplication>
#include <QGridLayout>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/qpainter_sign.h"
#include "bench/wall_signs.h"
#include "control/geometry/led_design.h"
#include "demo/qt/tick_recorder.h"
#include "host/qt/control_widget.h"
#include "qt/widget/led_sign_p.h"

namespace {

using glimmer::qt::LedSign;

namespace bench = glimmer::bench;
using bench::kWallColours;
using bench::kWallDelay;
using bench::kWallSignWidth;
using bench::kWallTexts;

struct Side {
  std::function<QWidget*(int index)> make;
  std::function<void(QWidget*)> start;
  // Reports each tick of the sign's timer to `tick`.
  std::function<void(QWidget*, std::function<void()> tick)> observe;
};

Side GlimmerSide() {
  return {[](int i) {
            auto* sign = new LedSign;
            sign->setText(kWallTexts[i % kWallTexts.size()]);
            sign->setColor(static_cast<LedSign::Color>(i % 3));
            sign->setRepeated(true);
            sign->setDelay(kWallDelay);
            sign->setMinimumWidth(kWallSignWidth);
            sign->resize(kWallSignWidth, bench::kWallSignHeight);
            return sign;
          },
          [](QWidget* w) { static_cast<LedSign*>(w)->start(); },
          [](QWidget* w, std::function<void()> tick) {
            glimmer::qt::LedSignPrivate::Core(*static_cast<LedSign*>(w))
                .timer(glimmer::kTimerLED)
                ->set_observer(std::move(tick));
          }};
}

Side QPainterSide() {
  return {[](int i) -> QWidget* {
            const auto& c = kWallColours[i % 3];
            return new glimmer::bench::QPainterSign(kWallTexts[i % kWallTexts.size()], QColor(QRgb(c.lit)),
                                                    QColor(QRgb(c.unlit)), kWallSignWidth);
          },
          [](QWidget* w) { static_cast<glimmer::bench::QPainterSign*>(w)->start(kWallDelay); },
          [](QWidget* w, std::function<void()> tick) {
            QObject::connect(&static_cast<glimmer::bench::QPainterSign*>(w)->timer(), &QTimer::timeout, w,
                             std::move(tick));
          }};
}

int Usage() {
  std::fputs("usage: wall glimmer|qpainter N [--same-phase]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return Usage();
  const std::string_view kind = argv[1];
  const int count = std::atoi(argv[2]);
  const bool same_phase = argc > 3 && std::strcmp(argv[3], "--same-phase") == 0;
  if ((kind != "glimmer" && kind != "qpainter") || count < 1) return Usage();
  const Side side = kind == "glimmer" ? GlimmerSide() : QPainterSide();

  QWidget window;
  window.setWindowTitle(kind == "glimmer" ? "Wall of LedSigns" : "Wall of QPainter signs");
  auto* grid = new QGridLayout(&window);
  grid->setSpacing(bench::kWallSpacing);
  std::vector<QWidget*> signs;
  const auto recorder = glimmer::TickRecorder::FromEnvironment(static_cast<std::size_t>(count), std::cerr);
  for (int i = 0; i < count; ++i) {
    signs.push_back(side.make(i));
    grid->addWidget(signs.back(), i / bench::kWallColumns, i % bench::kWallColumns);
    if (recorder)
      side.observe(signs.back(), [r = recorder.get(), i] { r->Tick(static_cast<std::size_t>(i)); });
  }
  window.show();
  for (int i = 0; i < count; ++i) {
    QTimer::singleShot(bench::kWallStartAfter + bench::WallStartOffset(i, count, same_phase),
                       Qt::PreciseTimer, signs[i], [&side, sign = signs[i]] { side.start(sign); });
  }
  return app.exec();
}
