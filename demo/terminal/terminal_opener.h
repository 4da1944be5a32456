// SPDX-License-Identifier: MIT
// Shows FormGlimmer's sign, LED1, running in the terminal on standard output, until q or Ctrl-C is typed
// or a signal ends it. LED1 is built exactly as the window builds it; Form_Load starts it and Form_Unload
// stops it, as when the window opens and closes.
#pragma once

#include <ostream>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"

namespace glimmer {

// The exit status: 0 after q or Ctrl-C; 1 after a message on `err` when the terminal is of no known type,
// LED1 cannot be built or a handler fails. After a signal that ends a program (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT, ...) it restores the terminal and then ends the process by that signal, as the shell expects;
// a stop from outside gives the terminal back until the program continues.
[[nodiscard]] int RunInTerminal(const FormDescription& form, const Overrides& overrides, std::ostream& err);

}  // namespace glimmer
