#include "demo/x11_display.h"

#include <cstdlib>

#ifdef GLIMMER_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace glimmer {

bool X11DisplayReachable(std::string* why) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return true;
#ifdef GLIMMER_HAVE_X11
  if (Display* display = XOpenDisplay(name)) {
    XCloseDisplay(display);
    return true;
  }
  *why = std::string("cannot open the display ") + name;
  return false;
#else
  (void)why;
  return true;
#endif
}

}  // namespace glimmer
