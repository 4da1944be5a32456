// Whether the X display that DISPLAY names can be reached. Without DISPLAY (a Wayland session), or in a
// build without Xlib, there is nothing to ask and the answer is yes.
#pragma once

#include <string>

namespace glimmer {

// On false, `why` says which display could not be opened. A display that answers keeps this connection
// until the process ends.
[[nodiscard]] bool X11DisplayReachable(std::string* why);

}  // namespace glimmer
