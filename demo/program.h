// The glimmer program without its toolkit: command line, form description, and the three things it does:
// open the window, record frames (--frames), or save the description (--save).
#pragma once

#include <ostream>

#include "demo/form_description.h"
#include "demo/form_glimmer.h"

namespace glimmer {

// Opens FormGlimmer and runs it until it closes; returns the exit status. A build without a toolkit has
// none.
using WindowOpener = int (*)(const FormDescription& form, const Overrides& overrides, std::ostream& err);

// Whether a window can be shown: DISPLAY or WAYLAND_DISPLAY names one.
[[nodiscard]] bool DisplayNamed();

// The whole program; returns its exit status. Standard output gets only --help, --version and the
// "Terminate <tick>" lines of --frames; everything else goes to `err`.
[[nodiscard]] int RunGlimmer(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                             WindowOpener open_window);

}  // namespace glimmer
