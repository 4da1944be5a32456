// SPDX-License-Identifier: MIT
// sign_grab TEXT COLOR BORDER WIDTH STEPS OUT.png: a LedSign made in C++ with these settings (COLOR by its
// enum name, BORDER 0 or 1, WIDTH in pixels), started and stepped STEPS times, grabbed into OUT.png. The
// Python tests compare the sign of the module glimmer with it.
#include <glimmer/qt/led_sign.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 7) {
    std::fputs("usage: sign_grab TEXT COLOR BORDER WIDTH STEPS OUT.png\n", stderr);
    return 2;
  }
  glimmer::qt::LedSign sign;
  sign.setText(QString::fromUtf8(argv[1]));
  sign.setProperty("color", QString::fromUtf8(argv[2]));
  sign.setBorderStyle(QByteArray(argv[3]).toInt());
  sign.setDelay(32767);  // no tick of its own while it is stepped
  sign.resize(QByteArray(argv[4]).toInt(), 32);
  if (!sign.start()) return 1;
  for (int step = QByteArray(argv[5]).toInt(); step > 0; --step)
    sign.advance();
  return sign.grab().toImage().save(QString::fromLocal8Bit(argv[6]), "PNG") ? 0 : 1;
}
