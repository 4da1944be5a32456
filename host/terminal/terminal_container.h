// SPDX-License-Identifier: MIT
// A container that shows its control in a text terminal: the terminal counterpart of the headless and Qt
// containers.
//
// The control draws into an in-memory surface, as everywhere; Present turns the control's frame (its pixels
// with its rings) into a CellPicture, one cell per dot, and hands the bytes that update the screen to the
// writer in a single call. The child timers run on a virtual clock that the host advances: the terminal
// loop advances it with the real time, tests by hand. Callbacks are delivered one at a time, on the
// thread that advances the clock; events reach the host through on_event before the raise returns.
//
// The container reports 15 twips per pixel, like the Qt container, so the size rule and the stored layout
// give the same sign as in the window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <glimmer/host/headless/headless_container.h>
#include <glimmer/host/terminal/cell_picture.h>
#include <glimmer/host/terminal/screen_painter.h>
#include <glimmer/host/terminal/terminal_controls.h>

namespace glimmer::terminal {

// The headless container, presented in a terminal: it keeps no records (a session may run for days) and
// adds the screen.
class TerminalContainer final : public HeadlessContainer {
 public:
  using Writer = std::function<void(std::string_view bytes)>;
  struct Options {
    TerminalSize size;
    CellGlyphs glyphs = kUnicodeGlyphs;
  };

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize. `write` gets every update of the screen.
  TerminalContainer(const ControlClass& control_class, const TerminalControls& controls, Writer write,
                    Options options);

  // The screen. A new size, or Repaint after the screen was cleared, sends the whole picture next time.
  void SetTerminalSize(TerminalSize size);
  void Repaint() { painter_.Forget(); }
  // Sends what changed on the screen since the last call, in one write; nothing when nothing did.
  void Present();
  [[nodiscard]] CellPicture Picture() const { return CellPicture::FromFrame(Frame(), options_.glyphs); }

 private:
  Options options_;
  Writer write_;
  ScreenPainter painter_;
};

}  // namespace glimmer::terminal
