// Embeds an LED sign in an ordinary Qt window: the sign sits in a layout like any widget, its properties
// are set directly, and its Terminate event updates a label after every pass.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "control/interface/led_members.h"
#include "control/led.h"
#include "host/qt/control_widget.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("A sign in a layout");
  auto* layout = new QVBoxLayout(&window);
  auto* passes = new QLabel("Passes: 0");

  auto* sign = new glimmer::qt::ControlWidget(glimmer::LED::Class());
  (void)sign->InitNew();
  (void)sign->Resize(302, 32);  // the size rule keeps it 3n + 2 wide and 32 high
  auto& led = sign->control_as<glimmer::LED>();
  (void)led.Value(u"HELLO FROM QT");
  (void)led.Color(2);  // yellow
  (void)led.Repeated(glimmer::True);
  QObject::connect(sign, &glimmer::qt::ControlWidget::eventRaised, [passes, count = 0](int event) mutable {
    if (event == glimmer::kTerminateEvent) passes->setText(QString("Passes: %1").arg(++count));
  });

  layout->addWidget(sign);
  layout->addWidget(passes);
  (void)led.Show();
  window.show();
  const int status = app.exec();
  (void)led.Clear();
  return status;
}
