#include "demo/program.h"

#include <cstdlib>

#include "demo/atomic_file.h"
#include "demo/built_in_form.h"
#include "demo/command_line.h"
#include "demo/exit_status.h"
#include "demo/form_file.h"
#include "demo/frames.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

constexpr std::string_view kUseFrames =
    "use --frames DIR --ticks N to render the sign as PNG frames without one";

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Builds LED1 as the window would and writes the description of the form as it would open.
int SaveForm(const FormDescription& form, const Overrides& overrides, const std::string& path,
             std::ostream& err) {
  HeadlessContainer host(LED::Class());
  if (auto s = BuildLed1(host, form.led1, overrides); !s) {
    err << "glimmer: LED1: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  MemoryPropertyBag saved;
  if (auto s = host.Save(saved); !s) {
    err << "glimmer: LED1 could not save its properties: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  const FormDescription opened = DescribeAsOpened(form, host.width_pixels(), host.height_pixels(), saved);
  if (auto written = WriteFileAtomically(path, FormatFormDescription(opened)); !written) {
    err << "glimmer: cannot save the form: " << written.error() << " (nothing was changed)\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

bool DisplayNamed() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

int RunGlimmer(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               WindowOpener open_window) {
  const auto line = ParseCommandLine(argc, argv, out, err);
  if (!line) return line.error();

  const auto form = line->form_file ? ReadFormFile(*line->form_file)
                                    : ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  if (!form) {
    err << "glimmer: " << form.error().Message() << '\n';
    return kExitUsage;
  }

  if (line->save_file) return SaveForm(*form, line->overrides, *line->save_file, err);
  if (line->frames_dir) return RecordFrames(*form, line->overrides, *line->frames_dir, line->ticks, out, err);
  if (!DisplayNamed()) {
    err << "glimmer: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); " << kUseFrames
        << '\n';
    return kExitFailure;
  }
  if (open_window == nullptr) {
    err << "glimmer: this build has no window (it was made without Qt 6); " << kUseFrames << '\n';
    return kExitFailure;
  }
  return open_window(*form, line->overrides, err);
}

}  // namespace glimmer
