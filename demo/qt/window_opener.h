// SPDX-License-Identifier: MIT
// Opens FormGlimmer in a Qt application and runs it until the user closes it.
#pragma once

#include <ostream>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"

namespace glimmer {

// The exit status: 0 when the window was closed, 1 after a message on `err` when the display cannot be
// reached or LED1 cannot be built, or a handler failed, 2 when GLIMMER_TICK_COUNT is out of range.
[[nodiscard]] int OpenFormGlimmer(const FormDescription& form, const Overrides& overrides, std::ostream& err);

}  // namespace glimmer
