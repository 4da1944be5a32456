// SPDX-License-Identifier: MIT
#include "host/terminal/raw_mode.h"

#include <unistd.h>

namespace glimmer::terminal {

RawMode::RawMode(int fd) : fd_(fd) {
  if (::isatty(fd) != 1 || ::tcgetattr(fd, &saved_) != 0) return;
  terminal_ = true;
  Apply(TCSAFLUSH);
}

RawMode::~RawMode() {
  Leave();
}

void RawMode::Apply(int when) {
  termios raw = saved_;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG | IEXTEN));
  raw.c_iflag &= static_cast<tcflag_t>(~(IXON | ICRNL));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  active_ = ::tcsetattr(fd_, when, &raw) == 0;
}

void RawMode::Leave() {
  // TCSADRAIN: the last frame and the screen's restoring go out before the settings change back.
  if (active_) (void)::tcsetattr(fd_, TCSADRAIN, &saved_);
  active_ = false;
}

void RawMode::Enter() {
  if (!terminal_) return;
  if (termios now{}; !active_ && ::tcgetattr(fd_, &now) == 0) saved_ = now;
  // TCSADRAIN, not TCSAFLUSH: keys typed meanwhile (the q of someone in a hurry) stay.
  Apply(TCSADRAIN);
}

}  // namespace glimmer::terminal
