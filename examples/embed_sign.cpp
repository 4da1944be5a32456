// SPDX-License-Identifier: MIT
// Two LED signs in an ordinary Qt window: each sits in a layout like any widget, its properties are set
// through Qt's property system, and a label counts the passes of the first one. It needs only the installed
// header and Glimmer::qt.
#include <glimmer/qt/led_sign.h>

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

using glimmer::qt::LedSign;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Signs in a layout");
  auto* layout = new QVBoxLayout(&window);
  auto* passes = new QLabel("Passes: 0");

  auto* sign = new LedSign;
  sign->setProperty("text", "HELLO FROM QT");
  sign->setProperty("color", "Yellow");
  sign->setProperty("repeated", true);
  QObject::connect(sign, &LedSign::passFinished, passes,
                   [passes, n = 0]() mutable { passes->setText(QString("Passes: %1").arg(++n)); });
  layout->addWidget(sign);
  sign->start();

  // Wider than a new sign: the layout gives it 302 pixels, a width of the form 3n + 2, which the sign fills
  // (within any other width it draws the widest such sign). The first sign keeps its width at the start of
  // the space the layout offers it.
  auto* wide = new LedSign;
  wide->setMinimumWidth(302);
  wide->setText("QT 6 WIDGETS 12:34");
  wide->setColor(LedSign::Color::Green);
  wide->setDelay(30);
  wide->setRepeated(true);
  layout->addWidget(wide);
  layout->addWidget(passes);
  wide->start();

  window.show();
  return app.exec();
}
