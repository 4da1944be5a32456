// SPDX-License-Identifier: MIT
#include "demo/qt/window_opener.h"

#include <QApplication>
#include <string>

#include "control/geometry/led_design.h"
#include "demo/exit_status.h"
#include "demo/qt/form_glimmer_window.h"
#include "demo/qt/tick_recorder.h"
#include "demo/qt/window_application.h"

namespace glimmer {

int OpenFormGlimmer(const FormDescription& form, const Overrides& overrides, std::ostream& err) {
  // The environment is input too: a tick count out of range is refused before anything opens.
  const auto tick_log = TickRecorder::RequestFromEnvironment();
  if (!tick_log) {
    err << "glimmer: " << tick_log.error() << '\n';
    return kExitUsage;
  }
  std::string why;
  const auto app = OpenWindowApplication(&why);
  if (!app) {
    err << "glimmer: " << why
        << "; use --terminal, --record FILE.gif or --frames DIR --ticks N to show the sign without it\n";
    return kExitFailure;
  }

  auto window = FormGlimmerWindow::Create(form, overrides);
  if (!window) {
    err << "glimmer: LED1: " << Describe(window.error()) << '\n';
    return kExitFailure;
  }
  if (auto s = (*window)->Load(); !s) {
    err << "glimmer: Form_Load: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  // Benchmarks may ask for LED1's tick times.
  std::unique_ptr<TickRecorder> recorder;
  if (qt::QtTimer* timer = (*window)->LED1().timer(kTimerLED); timer != nullptr && *tick_log) {
    recorder = std::make_unique<TickRecorder>(1, **tick_log, err);
    timer->set_observer([r = recorder.get()] { r->Tick(0); });
  }
  (*window)->show();
  const int status = app->exec();
  if (const Status& unload = (*window)->unload_status(); !unload) {
    err << "glimmer: Form_Unload: " << Describe(unload.error()) << '\n';
    return kExitFailure;
  }
  return status == 0 ? kExitOk : kExitFailure;
}

}  // namespace glimmer
