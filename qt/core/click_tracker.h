// SPDX-License-Identifier: MIT
// What counts as a click on a sign, for the LedSign widget and the QML item alike: a left press followed by a
// left release over the sign. The release that ends a double click is not another click.
#pragma once

namespace glimmer::qt {

class ClickTracker {
 public:
  void Press(bool left) { pressed_ = left; }
  // Whether the release ends a click.
  [[nodiscard]] bool Release(bool left, bool inside) {
    const bool click = pressed_ && left && inside;
    pressed_ = false;
    return click;
  }
  // Whether the double click counts (a left one); the release that follows is no click.
  [[nodiscard]] bool DoubleClick(bool left) {
    pressed_ = false;
    return left;
  }

 private:
  bool pressed_ = false;
};

}  // namespace glimmer::qt
