// SPDX-License-Identifier: MIT
// The departures board of examples/board.ui, a form made in Qt Designer, compiled into the program by uic
// as Designer's forms usually are: the signs are members of the generated Ui::DeparturesBoard, with the
// properties the form sets, and the program starts them. (glimmer --form examples/board.ui loads the same
// file at run time instead, through the Designer plugin.)
#include <glimmer/qt/led_sign.h>

#include <QApplication>
#include <QWidget>

#include "ui_board.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget board;
  Ui::DeparturesBoard form;
  form.setupUi(&board);
  for (glimmer::qt::LedSign* sign : {form.platform1, form.platform2, form.platform3})
    sign->start();
  board.show();
  return app.exec();
}
