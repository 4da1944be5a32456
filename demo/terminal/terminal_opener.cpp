// SPDX-License-Identifier: MIT
#include "demo/terminal/terminal_opener.h"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "demo/exit_status.h"
#include "host/terminal/signal_pipe.h"
#include "host/terminal/terminal_container.h"
#include "host/terminal/terminal_loop.h"
#include "host/terminal/terminal_session.h"

namespace glimmer {
namespace {

using terminal::TerminalContainer;

// Round dots and block elements where the locale writes UTF-8 and counts the dot one column wide (a
// terminal set up for East Asian widths would make it two); ASCII elsewhere.
terminal::CellGlyphs LocaleGlyphs() {
  std::setlocale(LC_CTYPE, "");
  const bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  return utf8 && ::wcwidth(L'\u25CF') == 1 ? terminal::kUnicodeGlyphs : terminal::kAsciiGlyphs;
}

// Form_Load, the loop, Form_Unload, inside a terminal session; the signal that ended it, or 0.
int RunSession(TerminalContainer& host, const terminal::TerminalControls& controls, std::string& failure) {
  terminal::SignalPipe signals;
  terminal::TerminalSession session(STDIN_FILENO, STDOUT_FILENO, controls);
  if (auto s = Form_Load(host.control()); !s) {
    failure = std::string("Form_Load: ") + std::string(Describe(s.error()));
    return 0;
  }
  const int signal = terminal::TerminalLoop(host, STDIN_FILENO, STDOUT_FILENO, signals, &session).Run();
  std::int16_t cancel = 0;
  if (auto s = Form_Unload(host.control(), cancel); !s)
    failure = std::string("Form_Unload: ") + std::string(Describe(s.error()));
  return signal;
}

}  // namespace

int RunInTerminal(const FormDescription& form, const Overrides& overrides, std::ostream& err) {
  const char* term = std::getenv("TERM");
  const auto controls = terminal::TerminalControls::ForTerminal(term != nullptr ? term : "");
  if (!controls) {
    err << "glimmer: cannot show the sign in this terminal: " << controls.error() << '\n';
    return kExitFailure;
  }
  TerminalContainer host(LED::Class(), *controls,
                         [](std::string_view bytes) { (void)terminal::WriteAll(STDOUT_FILENO, bytes); },
                         {.glyphs = LocaleGlyphs()});
  if (auto s = BuildLed1(host, form.led1, overrides); !s) {
    err << "glimmer: LED1: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  std::string failure;
  const int signal = RunSession(host, *controls, failure);
  // The terminal is itself again: messages go where they can be read.
  if (!failure.empty()) err << "glimmer: " << failure << '\n';
  if (signal != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  return failure.empty() ? kExitOk : kExitFailure;
}

}  // namespace glimmer
