#include "demo/display/x11_display.h"

#include <cstdlib>

#ifdef GLIMMER_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace glimmer {

bool X11DisplayReachable(std::string* why) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return true;
#ifdef GLIMMER_HAVE_X11
  // The connection that answered stays open for the life of the process: closing it at once would let a
  // server that resets when its last client leaves (Xvfb does by default) refuse the window's own
  // connection, which follows a moment later.
  static Display* held = nullptr;
  if (held != nullptr) return true;
  if ((held = XOpenDisplay(name)) != nullptr) return true;
  *why = std::string("cannot open the display ") + name;
  return false;
#else
  (void)why;
  return true;
#endif
}

}  // namespace glimmer
