// SPDX-License-Identifier: MIT
// DeviceGrid: the sign's frame laid on a screen's device pixels at a fractional device pixel ratio, every
// dot the same size and every dot the same distance from the next, in the logical size of the sign.
//
// A frame 3m + 2 control pixels long (along either axis) is built alike: the outer ring, the inner ring,
// a free pixel, then m - 1 dots of 2 pixels each followed by a free pixel, then the two rings again. Scaling
// each control pixel to [floor(x r), floor((x + 1) r)) device pixels would give dots of 1 and 2 device
// pixels at r = 1.5, spaced unevenly, so the frame is laid out again instead:
//   - the dot pitch (3 control pixels) becomes P = floor(3r) device pixels, so that the grid never needs
//     more than the logical size and no dot column is ever cut off;
//   - a gap (the free pixel between dots) is g = round(P / 3) device pixels, a dot P - g, and each ring is
//     g thick, at the very edges of the device area, as at a ratio of 1;
//   - the grid is centred between the rings; what is left over on each side (up to 3 - 3 floor(3r) / 3r of
//     the logical width, 20 % at 1.25) shows the free pixel next to the inner ring, the control's
//     background.
// The device area is floor(L r) device pixels for L logical pixels, so that it never reaches a device
// pixel that the logical size only partly covers.
//
// At a whole ratio the same rules give the exact copy of the frame scaled by r; the faces draw that one
// themselves (each control pixel an r x r square) and lay out nothing.
#pragma once

#include <QImage>
#include <QtGlobal>
#include <vector>

namespace glimmer::qt {

class DeviceGrid {
 public:
  // Whether `ratio` is a whole number of device pixels per logical pixel.
  [[nodiscard]] static bool Whole(qreal ratio);
  // The device pixels of `length` logical pixels at `ratio`.
  [[nodiscard]] static int DeviceLength(int length, qreal ratio);
  // `frame` (control pixels, one a logical pixel, the rings drawn in) as device pixels at `ratio`; the image
  // has that device pixel ratio, so it covers (at most) the frame's logical size.
  [[nodiscard]] static QImage Lay(const QImage& frame, qreal ratio);

 private:
  // For each device pixel along an axis of `length` control pixels, the control pixel it shows.
  [[nodiscard]] static std::vector<int> Axis(int length, qreal ratio);
};

}  // namespace glimmer::qt
