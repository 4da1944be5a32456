// SPDX-License-Identifier: MIT
// Uses the installed widget as any Qt widget, through the one header: every property by name, refused
// writes, the end of a pass, the pixels, and what a screen reader reads.
#include <glimmer/qt/led_sign.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <cstdio>

// The widget's headers ask for nothing beyond C++17: this file is compiled as C++17 (CMakeLists.txt).
static_assert(__cplusplus == 201703L, "compiled as C++17");

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  glimmer::qt::LedSign sign;
  int notices = 0;
  using glimmer::qt::LedSign;
  QObject::connect(&sign, &LedSign::colorChanged, [&] { ++notices; });
  QObject::connect(&sign, &LedSign::delayChanged, [&] { ++notices; });
  QObject::connect(&sign, &LedSign::borderStyleChanged, [&] { ++notices; });

  // Every property by name.
  Check(sign.setProperty("text", "GO") && sign.property("text").toString() == "GO", "text");
  Check(sign.setProperty("color", "Green") && sign.property("color").toInt() == 1, "color by key");
  Check(sign.setProperty("delay", 10) && sign.property("delay").toInt() == 10, "delay");
  Check(sign.setProperty("repeated", true) && sign.property("repeated").toBool(), "repeated");
  Check(sign.setProperty("repeated", false) && !sign.property("repeated").toBool(), "repeated off");
  Check(sign.setProperty("borderStyle", 0) && sign.property("borderStyle").toInt() == 0, "borderStyle");
  Check(sign.setProperty("borderStyle", 1) && sign.property("borderStyle").toInt() == 1, "borderStyle on");
  Check(sign.setProperty("enabled", false) && !sign.isEnabled(), "enabled");
  Check(sign.setProperty("enabled", true) && sign.isEnabled(), "enabled again");
  // Refused: the value stays, nothing is notified.
  sign.setProperty("color", 3);
  sign.setProperty("delay", -1);
  sign.setProperty("borderStyle", 2);
  Check(notices == 4, "one notice for each accepted change of color, delay and borderStyle");
  Check(sign.property("color").toInt() == 1, "color 3 refused");
  Check(sign.property("delay").toInt() == 10, "delay -1 refused");
  Check(sign.property("borderStyle").toInt() == 1, "borderStyle 2 refused");

  // A pass of "GO" on a new sign, 161 pixels wide: 53 + 6 x 2 = 65 steps.
  int steps = 0;
  int finished_at = 0;
  QObject::connect(&sign, &LedSign::passFinished, [&] { finished_at = steps + 1; });
  Check(sign.start() && sign.isScrolling(), "start");
  while (finished_at == 0 && steps < 1000 && sign.advance())
    ++steps;
  std::printf("passFinished after %d steps\n", finished_at);
  Check(finished_at == 65, "passFinished at the pass length");

  // Lit dots of its colour (green, 0x00FF00) once the text is in view, and no lit dot of another.
  sign.setColor(LedSign::Green);
  // The pass did not repeat: the sign stopped where it ended, and starts again after clear().
  Check(sign.clear() && sign.start() && sign.isScrolling(), "start again");
  for (int k = 0; k < 30; ++k)
    sign.advance();
  const QImage image = sign.grab().toImage().convertToFormat(QImage::Format_RGB32);
  int green = 0, other = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      green += p == qRgb(0, 255, 0);
      other += p == qRgb(255, 0, 0) || p == qRgb(255, 255, 0);
    }
  std::printf("%d lit green pixels\n", green);
  Check(image.size() == QSize(161, 32) && green > 0 && other == 0, "green dots");

  QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&sign);
  Check(reader != nullptr && reader->text(QAccessible::Name) == "GO", "accessible name");
  return failures == 0 ? 0 : 1;
}
