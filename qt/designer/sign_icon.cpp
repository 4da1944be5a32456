// SPDX-License-Identifier: MIT
#include "qt/designer/sign_icon.h"

#include <QPixmap>

#include "control/led.h"
#include "host/headless/headless_container.h"

namespace glimmer::qt {
namespace {

constexpr std::int32_t kSide = 32;  // 3n + 2 with n = 10: the size rule keeps it
// The "G" enters on tick 2 and moves one dot column (3 pixels) a tick: on tick 8 its five columns are the
// middle five of the nine on display.
constexpr std::int64_t kTicks = 8;

}  // namespace

QImage SignIconFrame() {
  HeadlessContainer sign(LED::Class());
  LED& led = sign.control_as<LED>();
  // A new sign, sized and started as a host would; should a step fail, the icon shows what the sign drew.
  (void)sign.InitNew();
  (void)sign.Resize(kSide, kSide);
  (void)led.Color(1);
  (void)led.Value(u"G");
  (void)led.Show();
  (void)sign.RunTicks(kTicks);
  const Image frame = sign.Frame();
  // Pixel is 0xFFRRGGBB, as QImage::Format_RGB32 keeps it.
  return QImage(reinterpret_cast<const uchar*>(frame.pixels.data()), frame.width, frame.height,
                static_cast<qsizetype>(frame.width) * 4, QImage::Format_RGB32)
      .copy();
}

QIcon SignIcon() {
  const QImage frame = SignIconFrame();
  QIcon icon(QPixmap::fromImage(frame));
  icon.addPixmap(
      QPixmap::fromImage(frame.scaled(frame.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
  return icon;
}

}  // namespace glimmer::qt
