// SPDX-License-Identifier: MIT
#include "demo/cli/program.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string_view>

#include "demo/cli/checked_output.h"
#include "demo/cli/command_line.h"
#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "demo/form/form_file.h"
#include "demo/messages/escaping_stream.h"
#include "demo/output/frames.h"
#include "demo/output/gif_recorder.h"
#include "demo/output/safe_file.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

constexpr std::string_view kWithoutWindow =
    "run it in a terminal, or use --record FILE.gif or --frames DIR --ticks N to render the sign without one";

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
  const FormDescription opened =
      DescribeAsOpened(form, host.control_as<LED>(), host.width_pixels(), host.height_pixels(), saved);
  const std::string text = FormatFormDescription(opened);
  // A file that --form would refuse is not written.
  if (text.size() > kMaxFormFileBytes) {
    err << "glimmer: cannot save the form: it would take " << text.size() << " bytes, more than the "
        << kMaxFormFileBytes << " that --form reads (nothing was changed)\n";
    return kExitFailure;
  }
  auto file = SafeFile::Open(path);
  if (!file) {
    err << "glimmer: cannot save the form: " << file.error() << " (nothing was changed)\n";
    return kExitFailure;
  }
  // A failed write is Commit's to report.
  (void)file->Write(text);
  if (auto done = file->Commit(); !done) {
    // Written into a device or FIFO, a part may have gone out.
    err << "glimmer: cannot save the form: " << done.error()
        << (file->replaces() ? " (nothing was changed)" : "") << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// What the command line names that the program will not touch, checked before anything is read or written
// (status 2): a --form that is not a regular file (a FIFO would hold the read for good, a device never end
// it), and a --save to a name ending in .ui, which --form would open as a Qt Designer form and never as the
// description written there. "" when there is none.
std::string RefusedNames(const CommandLine& line) {
  struct stat st {};
  if (line.form_file && ::stat(line.form_file->c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return *line.form_file + ": cannot read it: it is " + KindOf(st.st_mode) + ", not a file";
  if (line.save_file && IsDesignerForm(*line.save_file))
    return "--save " + *line.save_file +
           ": a name ending in .ui is a Qt Designer form to --form, which would never open the description "
           "written there; choose another name\nRun with --help for more information.";
  return "";
}

// Why the window cannot open, or nothing when it can.
std::optional<std::string> NoWindow(const Frontends& frontends) {
  if (!DisplayNamed()) return "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset)";
  if (frontends.window == nullptr) return "this build has no window (it was made without Qt 6)";
  if (std::string why; frontends.display_reachable != nullptr && !frontends.display_reachable(&why))
    return why;
  return std::nullopt;
}

bool InTerminal(const Frontends& frontends) {
  return frontends.terminal != nullptr && frontends.output_is_terminal != nullptr &&
         frontends.output_is_terminal();
}

int OpenTerminal(const FormDescription& form, const Overrides& overrides, const Frontends& frontends,
                 std::ostream& err) {
  if (frontends.terminal == nullptr) {
    err << "glimmer: this build has no terminal mode (it was made without the terminfo library)\n";
    return kExitFailure;
  }
  if (!InTerminal(frontends)) {
    err << "glimmer: --terminal needs a terminal on standard output\n";
    return kExitFailure;
  }
  return frontends.terminal(form, overrides, err);
}

// Plain glimmer: the window, or the terminal when no window can open there.
int OpenSomewhere(const FormDescription& form, const Overrides& overrides, const Frontends& frontends,
                  std::ostream& err) {
  const auto no_window = NoWindow(frontends);
  if (!no_window) return frontends.window(form, overrides, err);
  if (InTerminal(frontends)) {
    err << "glimmer: " << *no_window << "; showing the sign in this terminal (q ends it)\n";
    return frontends.terminal(form, overrides, err);
  }
  err << "glimmer: " << *no_window << "; " << kWithoutWindow << '\n';
  return kExitFailure;
}

// The options that need the form as a description of LED1, which a Qt Designer form is not.
const char* OnlyForDescriptions(const CommandLine& line) {
  if (line.save_file) return "--save";
  if (line.frames_dir) return "--frames";
  if (line.record_file) return "--record";
  if (line.terminal) return "--terminal";
  if (line.overrides.width) return "--width";
  return nullptr;
}

// glimmer --form FILE.ui: the form in a window, or nowhere. The other options are written to every sign on
// it.
int OpenDesignerForm(const CommandLine& line, const Frontends& frontends, std::ostream& err) {
  const std::string& path = *line.form_file;
  if (const char* option = OnlyForDescriptions(line)) {
    err << "glimmer: " << option << " works with the built-in form and TOML descriptions, not with the Qt "
        << "Designer form " << path;
    if (line.overrides.width) err << " (its layout sizes the signs; set their minimumSize in Designer)";
    err << "\nRun with --help for more information.\n";
    return kExitUsage;
  }
  const auto ui = ReadFormFileText(path);
  if (!ui) {
    err << "glimmer: " << ui.error().Message() << '\n';
    return kExitUsage;
  }
  if (frontends.designer_form == nullptr) {
    err << "glimmer: this build cannot open Qt Designer forms (it was made without Qt's Designer and "
           "UiTools)\n";
    return kExitFailure;
  }
  if (const auto no_window = NoWindow(frontends)) {
    err << "glimmer: " << *no_window << "; a Qt Designer form opens only in a window\n";
    return kExitFailure;
  }
  return frontends.designer_form(path, *ui, line.overrides, err);
}

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err, const Frontends& frontends) {
  const auto line = ParseCommandLine(argc, argv, out, err);
  if (!line) return line.error();
  if (const std::string why = RefusedNames(*line); !why.empty()) {
    err << "glimmer: " << why << '\n';
    return kExitUsage;
  }
  if (line->form_file && IsDesignerForm(*line->form_file)) return OpenDesignerForm(*line, frontends, err);

  const auto form = line->form_file ? ReadFormFile(*line->form_file)
                                    : ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  if (!form) {
    err << "glimmer: " << form.error().Message() << '\n';
    return kExitUsage;
  }

  const Overrides& overrides = line->overrides;
  if (line->save_file) return SaveForm(*form, overrides, *line->save_file, err);
  if (line->frames_dir) return RecordFrames(*form, overrides, *line->frames_dir, *line->ticks, out, err);
  if (line->record_file) {
    const RecordOptions options{
        .file = *line->record_file, .ticks = line->ticks, .scale = static_cast<int>(line->scale)};
    return RecordGif(*form, overrides, options, out, err);
  }
  if (line->terminal) return OpenTerminal(*form, overrides, frontends, err);
  return OpenSomewhere(*form, overrides, frontends, err);
}

}  // namespace

bool IsDesignerForm(const std::string& path) {
  constexpr std::string_view kExtension = ".ui";
  if (path.size() < kExtension.size()) return false;
  const std::string_view tail = std::string_view(path).substr(path.size() - kExtension.size());
  return tail[0] == '.' && (tail[1] == 'u' || tail[1] == 'U') && (tail[2] == 'i' || tail[2] == 'I');
}

bool DisplayNamed() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

int RunGlimmer(int argc, const char* const* argv, std::ostream& out, std::ostream& messages,
               const Frontends& frontends) {
  // Whoever writes a message and whatever it repeats, the terminal gets plain text.
  EscapingStream err(messages);
  CheckedOutput checked(out);
  const int status = Run(argc, argv, checked.stream(), err, frontends);
  if (const std::string lost = checked.Finish(); !lost.empty()) {
    err << "glimmer: cannot write to standard output: " << lost << '\n';
    return status == kExitOk ? kExitFailure : status;
  }
  return status;
}

}  // namespace glimmer
