// SPDX-License-Identifier: MIT
// One tick of the sign through the real control, against the least work any renderer of the frame must do.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench/demo_sign.h"
#include "tests/support/test_access.h"

namespace glimmer::bench {
namespace {

// The demo's configuration, mid-pass. Each iteration is the next tick, so the text moves on; over a run the
// ticks cover every position of the pass alike.
void DemoTick(benchmark::State& state) {
  DemoSign sign(kMidPassTick);
  for (auto _ : state)
    (void)sign.led.TimerLED_Timer();
}
BENCHMARK(DemoTick);

// The same, painting every dot through a brush of its own.
void DemoTickDotByDot(benchmark::State& state) {
  DemoSign sign(kMidPassTick);
  TestAccess::SetDirectPainting(sign.led.renderer(), false);
  for (auto _ : state)
    (void)sign.led.TimerLED_Timer();
}
BENCHMARK(DemoTickDotByDot);

void LongTextTick(benchmark::State& state) {
  std::u16string text(static_cast<std::size_t>(state.range(0)), u' ');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = u"GLIMMER "[i % 8];
  DemoSign sign(kMidPassTick, text);
  for (auto _ : state)
    (void)sign.led.TimerLED_Timer();
}
BENCHMARK(LongTextTick)->Arg(1820)->Arg(1'000'000);

// The same with the Latin1 glyph set, on a text of small, accented and capital letters, digits and signs.
void LongLatin1TextTick(benchmark::State& state) {
  constexpr std::u16string_view kWords = u"Gr\u00FC\u00DFe aus K\u00F6ln: 12:30 Uhr \u00BFQu\u00E9 tal? ";
  std::u16string text(static_cast<std::size_t>(state.range(0)), u' ');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = kWords[i % kWords.size()];
  DemoSign sign(0, text);
  (void)sign.led.GlyphSet(GlyphSet::Latin1);
  sign.container.RunTicks(kMidPassTick);
  for (auto _ : state)
    (void)sign.led.TimerLED_Timer();
}
BENCHMARK(LongLatin1TextTick)->Arg(1820)->Arg(1'000'000);

// The floor: fill the display window once and copy it row by row to the control's area.
void Floor(benchmark::State& state) {
  std::vector<Pixel> surface(static_cast<std::size_t>(kWidth) * kHeight);
  std::vector<Pixel> screen(static_cast<std::size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    for (std::int32_t y = 0; y < kWindowHeight; ++y)
      std::fill_n(surface.data() + static_cast<std::ptrdiff_t>(y) * kWidth, kWindowWidth, MakePixel(0, 0, 0));
    for (std::int32_t y = 0; y < kWindowHeight; ++y)
      std::memcpy(screen.data() + static_cast<std::ptrdiff_t>(y + 2) * kWidth + 2,
                  surface.data() + static_cast<std::ptrdiff_t>(y) * kWidth, kWindowWidth * sizeof(Pixel));
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Floor);

}  // namespace
}  // namespace glimmer::bench

BENCHMARK_MAIN();
