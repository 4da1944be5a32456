// SPDX-License-Identifier: MIT
// glimmer: the demo program. Opens the FormGlimmer window, which scrolls "GLIMMER" until it is closed, or
// shows the sign in the terminal (--terminal, or where no display can be reached), or, without either,
// renders the sign as PNG frames (--frames) or an animated GIF (--record), or, with --save, writes the
// form's description; or opens a form made in Qt Designer (--form FILE.ui). `glimmer --help` lists the
// options.
#include <unistd.h>

#include <csignal>
#include <iostream>

#include "demo/cli/program.h"

#ifdef GLIMMER_HAVE_QT
#include "demo/display/window_system_probe.h"
#include "demo/qt/window_opener.h"
#endif
#ifdef GLIMMER_HAVE_TERMINAL
#include "demo/terminal/terminal_opener.h"
#endif
#ifdef GLIMMER_HAVE_DESIGNER
#include "demo/qt/designer_form.h"
#endif

namespace {

// SIGPIPE as the program found it.
struct sigaction g_sigpipe_at_start {};

#ifdef GLIMMER_HAVE_TERMINAL
// The terminal mode ends by every signal that ends a program, SIGPIPE too, as the signal asks.
int RunInTerminalWithSigpipe(const glimmer::FormDescription& form, const glimmer::Overrides& overrides,
                             std::ostream& err) {
  ::sigaction(SIGPIPE, &g_sigpipe_at_start, nullptr);
  return glimmer::RunInTerminal(form, overrides, err);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe is a write that fails (EPIPE), which the program reports as it reports any lost output:
  // status 1 and why, not a silent end by SIGPIPE.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, &g_sigpipe_at_start);
  glimmer::Frontends frontends;
  frontends.output_is_terminal = [] { return ::isatty(STDOUT_FILENO) == 1; };
#ifdef GLIMMER_HAVE_QT
  frontends.window = &glimmer::OpenFormGlimmer;
  frontends.display_reachable = &glimmer::WindowSystemReachable;
#endif
#ifdef GLIMMER_HAVE_TERMINAL
  frontends.terminal = &RunInTerminalWithSigpipe;
#endif
#ifdef GLIMMER_HAVE_DESIGNER
  frontends.designer_form = &glimmer::OpenDesignerForm;
#endif
  return glimmer::RunGlimmer(argc, argv, std::cout, std::cerr, frontends);
}
