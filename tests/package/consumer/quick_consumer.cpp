// SPDX-License-Identifier: MIT
// Uses the installed QML module from C++ through Glimmer::quick: an engine that imports Glimmer from the
// folder the package names (Glimmer_QML_IMPORT_DIR) makes a LedSign with a colour by its enum name and
// reads back its properties and its size.
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QQmlEngine engine;
  engine.addImportPath(QStringLiteral(GLIMMER_QML_IMPORT_DIR));
  QQmlComponent component(&engine);
  component.setData("import Glimmer\nLedSign { text: \"GO\"; color: LedSign.Yellow; delay: -1 }", QUrl());
  std::unique_ptr<QObject> sign(component.create());
  if (!sign) {
    std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
    return 1;
  }
  const auto* item = qobject_cast<QQuickItem*>(sign.get());
  const bool ok = item != nullptr && sign->property("text").toString() == "GO" &&
                  sign->property("color").toInt() == 2 && sign->property("delay").toInt() == 50 &&
                  item->implicitWidth() == 161 && item->implicitHeight() == 32;
  std::printf("LedSign from %s: %s\n", GLIMMER_QML_IMPORT_DIR, ok ? "as asked" : "NOT as asked");
  return ok ? 0 : 1;
}
