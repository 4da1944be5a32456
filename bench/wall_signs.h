// SPDX-License-Identifier: MIT
// What the signs of the walls of signs (bench/wall.cpp, bench/qml_wall.cpp) show and how they are laid out,
// so that the widget wall and the QML wall run the same signs.
#pragma once

#include <array>
#include <cstdint>

namespace glimmer::bench {

inline constexpr int kWallSignWidth = 251;  // the demo's sign
inline constexpr int kWallSignHeight = 32;
inline constexpr int kWallDelay = 50;        // ms per step
inline constexpr int kWallColumns = 4;       // signs side by side: 100 signs are 25 rows of 4
inline constexpr int kWallSpacing = 6;       // pixels between signs
inline constexpr int kWallStartAfter = 200;  // ms after show: the layout and the first full paint are done

inline constexpr std::array kWallTexts = {"PLATFORM 1  10:42  LONDON KINGS CROSS",
                                          "DELAYED",
                                          "GATE B12 BOARDING",
                                          "EXIT 4",
                                          "BUS 73 - 3 MIN",
                                          "TRACK 9: ON TIME",
                                          "CLOSED",
                                          "OPEN 24 HOURS",
                                          "ROOM 101",
                                          "NOW SERVING 42",
                                          "NEXT STOP: CENTRAL",
                                          "GLIMMER"};

// Lit and unlit dots (0xRRGGBB) of the control's colours in order: red, green, yellow.
struct WallColours {
  std::uint32_t lit;
  std::uint32_t unlit;
};
inline constexpr std::array<WallColours, 3> kWallColours = {
    {{0xff0000, 0x770000}, {0x00ff00, 0x007700}, {0xffff00, 0x777700}}};

// Sign i's start, spread evenly over one period unless all start at once: signs started independently
// (by data arriving, by the user) tick at phases of their own, and each tick then asks for a repaint of its
// own.
inline int WallStartOffset(int i, int count, bool same_phase) {
  return same_phase ? 0 : i * kWallDelay / count;
}

}  // namespace glimmer::bench
