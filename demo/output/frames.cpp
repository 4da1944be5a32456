#include "demo/output/frames.h"

#include <cstdio>
#include <string>
#include <system_error>

#include "control/interface/led_members.h"
#include "demo/exit_status.h"
#include "demo/output/png_writer.h"
#include "host/headless/headless_container.h"

namespace glimmer {

std::string FrameFileName(std::int64_t tick) {
  char name[32];
  std::snprintf(name, sizeof name, "tick-%05lld.png", static_cast<long long>(tick));
  return name;
}

int RecordFrames(const FormDescription& form, const Overrides& overrides, const std::filesystem::path& dir,
                 std::int64_t ticks, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir)) {
    err << "glimmer: cannot make the frames folder " << dir.string() << ": "
        << (ec ? ec.message() : "a file of that name is in the way") << '\n';
    return kExitFailure;
  }

  HeadlessContainer host(LED::Class());
  if (auto s = BuildLed1(host, form.led1, overrides); !s) {
    err << "glimmer: LED1: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  host.on_event = [&](DispId event) {
    if (event == kTerminateEvent) out << "Terminate " << host.ticks() << '\n';
  };
  Dispatch& led1 = host.control();
  if (auto s = Form_Load(led1); !s) {
    err << "glimmer: Form_Load: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  int status = kExitOk;
  for (std::int64_t tick = 1; tick <= ticks && host.RunTicks(1) == 1; ++tick) {
    std::string why;
    if (!WritePng(host.Frame(), (dir / FrameFileName(tick)).string(), &why)) {
      err << "glimmer: cannot write a frame: " << why << '\n';
      status = kExitFailure;
      break;
    }
  }
  std::int16_t cancel = 0;
  if (auto s = Form_Unload(led1, cancel); !s) {
    err << "glimmer: Form_Unload: " << Describe(s.error()) << '\n';
    status = kExitFailure;
  }
  out.flush();
  return status;
}

}  // namespace glimmer
