// SPDX-License-Identifier: MIT
// The demo frame drawn the way a typical Qt LED widget draws it: QPainter::fillRect of every 2 x 2 dot on a
// QImage. Checked once against the control's own frame, so both draw the same dots in the same colours.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench/demo_frame.h"
#include "bench/demo_sign.h"

namespace glimmer::bench {
namespace {

void PaintFrame(QImage& image, const std::vector<Dot>& dots) {
  QPainter painter(&image);
  painter.fillRect(0, 0, kWindowWidth, kWindowHeight, QColor(0, 0, 0));
  for (const Dot& d : dots)
    painter.fillRect(d.x, d.y, 2, 2, QColor::fromRgb(d.colour));
}

bool SameAsTheControl(const QImage& image) {
  DemoSign sign(kMidPassTick);
  const Image frame = sign.container.Pixels();
  for (std::int32_t y = 0; y < kWindowHeight; ++y)
    for (std::int32_t x = 0; x < kWindowWidth; ++x)
      if ((image.pixel(x, y) | 0xFF000000u) != frame.at(x + 2, y + 2)) return false;
  return true;
}

void QPainterFrame(benchmark::State& state) {
  const std::vector<Dot> dots = DemoFrameDots();
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  PaintFrame(image, dots);
  if (!SameAsTheControl(image)) {
    state.SkipWithError("the QPainter frame differs from the control's frame");
    return;
  }
  for (auto _ : state) {
    PaintFrame(image, dots);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(QPainterFrame);

}  // namespace
}  // namespace glimmer::bench

BENCHMARK_MAIN();
