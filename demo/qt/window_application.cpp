// SPDX-License-Identifier: MIT
#include "demo/qt/window_application.h"

#include "demo/display/window_system_probe.h"

namespace glimmer {

std::unique_ptr<QApplication> OpenWindowApplication(std::string* why) {
  if (!WindowSystemReachable(why)) return nullptr;
  // Qt keeps argc and argv for the life of the application; the program's own options are parsed already.
  static int argc = 1;
  static char name[] = "glimmer";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QApplication>(argc, argv);
  ReleaseWindowSystemProbe();
  return app;
}

}  // namespace glimmer
