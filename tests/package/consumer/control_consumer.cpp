// SPDX-License-Identifier: MIT
// Uses the installed control without Qt: a new sign on the headless container's virtual clock raises
// Terminate after n + 6L ticks (a sign 3n + 2 = 161 pixels wide, a text of L = 2 characters: 65); and
// <glimmer/version.h> says the version the package was found with (GLIMMER_PACKAGE_VERSION, given by the
// build: CMake's Glimmer_VERSION, pkg-config's --modversion).
#include <glimmer/version.h>

#include <cstdio>
#include <string_view>

#include <glimmer/control/interface/led_members.h>
#include <glimmer/control/led.h>
#include <glimmer/host/headless/headless_container.h>

int main() {
  glimmer::HeadlessContainer container(glimmer::LED::Class());
  if (!container.InitNew() || !container.Site()) return 1;
  auto& led = container.control_as<glimmer::LED>();
  int ticks = 0;
  int ended_at = 0;
  container.on_event = [&](glimmer::DispId event) {
    if (event == glimmer::kTerminateEvent) ended_at = ticks + 1;
  };
  if (!led.Value(u"GO") || !led.Show()) return 1;
  while (ended_at == 0 && ticks < 1000)
    ticks += container.RunTicks(1);
  std::printf("Terminate after %d ticks, Glimmer %s\n", ended_at, GLIMMER_VERSION_STRING);
  return ended_at == 65 && std::string_view(GLIMMER_VERSION_STRING) == GLIMMER_PACKAGE_VERSION ? 0 : 1;
}
