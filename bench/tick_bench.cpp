// One tick of the sign: the demo's configuration, and long texts.
#include <benchmark/benchmark.h>

#include <string>

#include "control/led.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

// A sited, running sign of `width` pixels with `text` in green, advanced `warmup` ticks into its pass.
struct Sign {
  Sign(double width, std::u16string text, std::int64_t warmup) : led(container.control_as<LED>()) {
    (void)container.InitNew();
    (void)container.Resize(width, 32);
    (void)led.Value(text);
    (void)led.Color(1);
    (void)led.Repeated(True);
    (void)led.Show();
    container.RunTicks(warmup);
  }
  HeadlessContainer container{LED::Class()};
  LED& led;
};

void DemoTick(benchmark::State& state) {
  Sign sign(251, u"GLIMMER", 60);
  for (auto _ : state) {
    (void)sign.led.TimerLED_Timer();
  }
}
BENCHMARK(DemoTick);

void LongTextTick(benchmark::State& state) {
  std::u16string text(static_cast<std::size_t>(state.range(0)), u' ');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = u"GLIMMER "[i % 8];
  Sign sign(251, text, 60);
  for (auto _ : state) {
    (void)sign.led.TimerLED_Timer();
  }
}
BENCHMARK(LongTextTick)->Arg(1820)->Arg(1'000'000);

void DotByDotDemoTick(benchmark::State& state) {
  Sign sign(251, u"GLIMMER", 60);
  sign.led.renderer().SetDirectPainting(false);
  for (auto _ : state) {
    (void)sign.led.TimerLED_Timer();
  }
}
BENCHMARK(DotByDotDemoTick);

}  // namespace
}  // namespace glimmer

BENCHMARK_MAIN();
