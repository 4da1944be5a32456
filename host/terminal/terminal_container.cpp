// SPDX-License-Identifier: MIT
#include "host/terminal/terminal_container.h"

#include <utility>

namespace glimmer::terminal {

// 15 twips per pixel, like the window, so that the size rule and a stored layout give the same sign.
TerminalContainer::TerminalContainer(const ControlClass& control_class, const TerminalControls& controls,
                                     Writer write, Options options)
    : HeadlessContainer(control_class, {.record = false}),
      options_(options),
      write_(std::move(write)),
      painter_(controls) {}

void TerminalContainer::SetTerminalSize(TerminalSize size) {
  options_.size = size;
  painter_.Forget();
}

void TerminalContainer::Present() {
  const std::string bytes = painter_.Paint(Picture(), options_.size);
  if (!bytes.empty()) write_(bytes);
}

}  // namespace glimmer::terminal
