// glimmer: the demo program. Opens the FormGlimmer window, which scrolls "GLIMMER" until it is closed, or,
// with --frames, renders the sign as PNG frames without a display, or, with --save, writes the form's
// description. `glimmer --help` lists the options.
#include <iostream>

#include "demo/program.h"

#ifdef GLIMMER_HAVE_QT
#include "demo/qt/window_opener.h"
#endif

int main(int argc, char** argv) {
#ifdef GLIMMER_HAVE_QT
  const glimmer::WindowOpener open_window = &glimmer::OpenFormGlimmer;
#else
  const glimmer::WindowOpener open_window = nullptr;
#endif
  return glimmer::RunGlimmer(argc, argv, std::cout, std::cerr, open_window);
}
