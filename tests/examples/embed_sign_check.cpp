// SPDX-License-Identifier: MIT
// Built with examples/embed_sign.cpp as it is: once the example's window is up, each of its signs is moved
// on and must show its text (its pixels differ from the same sign's once its text is emptied), and the
// example ends with the verdict as its exit status.
#include <glimmer/qt/led_sign.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QTimer>
#include <cstdio>

namespace {

using glimmer::qt::LedSign;

bool ShowsText(LedSign& sign) {
  for (int step = 0; step < 40; ++step)
    if (!sign.advance()) return false;
  const QImage shown = sign.grab().toImage();
  sign.setText("");
  if (!sign.advance()) return false;
  return shown != sign.grab().toImage();
}

void CheckOnceShown() {
  QTimer::singleShot(0, [] {
    int failures = 0, signs = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
      for (LedSign* sign : window->findChildren<LedSign*>()) {
        ++signs;
        if (!ShowsText(*sign)) {
          std::fprintf(stderr, "the sign \"%s\" shows no text\n", qPrintable(sign->text()));
          ++failures;
        }
      }
    if (signs != 2) std::fprintf(stderr, "%d signs, not 2\n", signs);
    QCoreApplication::exit(signs == 2 && failures == 0 ? 0 : 1);
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(CheckOnceShown)
