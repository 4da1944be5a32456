// glimmer: the demo program. For now it renders the demo sign headless and writes its frames as PNG files.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>

#include "control/led.h"
#include "demo/png_writer.h"
#include "host/headless/headless_container.h"
#include "host/memory_property_bag.h"

int main(int argc, char** argv) {
  CLI::App app{"glimmer: a scrolling dot-matrix LED sign"};
  std::string dir = "frames";
  long ticks = 12;
  app.add_option("--frames", dir, "Folder for the PNG frames");
  app.add_option("--ticks", ticks, "How many ticks to render")->check(CLI::Range(1L, 1000000L));
  CLI11_PARSE(app, argc, argv);

  using namespace glimmer;
  HeadlessContainer container(LED::Class());
  MemoryPropertyBag bag({{"_extentx", std::int32_t{6641}},
                         {"_extenty", std::int32_t{847}},
                         {"color", std::int32_t{1}},
                         {"repeated", True},
                         {"value", u"GLIMMER"}});
  (void)container.Load(bag);
  (void)container.Resize(251, 32);
  (void)container.Site();
  auto& led = container.control_as<LED>();
  container.on_event = [&](DispId id) {
    if (id == 3) std::printf("Terminate %lld\n", static_cast<long long>(container.ticks()));
  };
  (void)led.Show();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  for (long t = 1; t <= ticks; ++t) {
    if (container.RunTicks(1) == 0) break;
    char name[32];
    std::snprintf(name, sizeof name, "/tick-%05ld.png", t);
    std::string error;
    if (!WritePng(container.Frame(), dir + name, &error)) {
      std::fprintf(stderr, "glimmer: %s\n", error.c_str());
      return 1;
    }
  }
  (void)led.Clear();
  return 0;
}
