// SPDX-License-Identifier: MIT
// The glimmer program without its toolkits: command line, form description, and what it does: open the
// window, show the sign in the terminal (--terminal, or when no display can be reached), record PNG frames
// (--frames) or an animated GIF (--record), or save the description (--save); or open a form made in Qt
// Designer (--form FILE.ui) in a window.
#pragma once

#include <ostream>
#include <string>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"

namespace glimmer {

// Opens FormGlimmer and runs it until it closes; returns the exit status.
using WindowOpener = int (*)(const FormDescription& form, const Overrides& overrides, std::ostream& err);
// Shows the running sign in the terminal until the user ends it; returns the exit status.
using TerminalOpener = WindowOpener;
// Opens a form made in Qt Designer, from the text of its .ui file (`source` names the file), and runs it
// until it closes; returns the exit status.
using DesignerFormOpener = int (*)(const std::string& source, const std::string& ui,
                                   const Overrides& overrides, std::ostream& err);

// The parts of the program that reach beyond it; a build without a toolkit leaves its opener out.
struct Frontends {
  WindowOpener window = nullptr;
  // Whether a window can open on the display (on false, why not); none: it is taken to answer.
  bool (*display_reachable)(std::string* why) = nullptr;
  TerminalOpener terminal = nullptr;
  // Whether standard output is a terminal.
  bool (*output_is_terminal)() = nullptr;
  DesignerFormOpener designer_form = nullptr;
};

// Whether --form names a form made in Qt Designer: a file whose name ends in ".ui", in any letter case.
[[nodiscard]] bool IsDesignerForm(const std::string& path);

// Whether a window can be shown: DISPLAY or WAYLAND_DISPLAY names one.
[[nodiscard]] bool DisplayNamed();

// The whole program; returns its exit status. Standard output gets only --help, --version and the
// "Terminate <tick>" lines of --frames and --record (and the terminal's picture, or what --save - and
// --record - write); everything else goes to `err`, with the control characters of every line escaped.
// When what went to `out` could not all be written, the program says so and ends with status 1 (or the
// status it had already).
[[nodiscard]] int RunGlimmer(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                             const Frontends& frontends);

}  // namespace glimmer
