// SPDX-License-Identifier: MIT
// A wall of signs in Qt Quick: N LedSign items (`import Glimmer`), or N typical QML signs (a Canvas on a
// Timer of its own, bench/canvas_sign.qml), each with its own text and colour and ticking every 50 ms, as
// bench/wall.cpp does for widgets. scripts/bench runs both side by side under Xvfb and measures their CPU,
// memory and tick intervals: GLIMMER_TICK_LOG records the ticks of every LedSign's timer, or of every Canvas
// sign's Timer.
//
//   qml_wall glimmer|canvas N [--same-phase | --steps K]
//
// --steps K moves every sign K steps by hand and leaves it standing there, to compare the two kinds of sign
// pixel for pixel.
//
// Qt Quick draws with its software backend unless QT_QUICK_BACKEND asks for another; the program names the
// backend in use on stderr ("qml_wall: Qt Quick backend: software") once the window is shown. The signs
// start after that, spread over one period as in bench/wall.cpp.
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTimer>
#include <QVariant>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "bench/wall_signs.h"
#include "control/geometry/led_design.h"
#include "control/tables/glyph_font.h"
#include "demo/qt/tick_recorder.h"
#include "qt/core/sign_core.h"
#include "qt/quick/led_sign_item.h"

namespace glimmer::qt {

// The item keeps its core to itself; the wall needs its timer, as bench/wall.cpp takes the widget's.
class LedSignItemProbe {
 public:
  static QtTimer& Timer(LedSignItem& sign) { return *sign.core_->timer(kTimerLED); }
};

}  // namespace glimmer::qt

namespace {

using namespace glimmer::bench;

constexpr int kMargin = 9;

// Passes a QML Timer's ticks to the recorder, which connects to QTimers alone.
class TickRelay final : public QObject {
  Q_OBJECT

 public:
  TickRelay(glimmer::TickRecorder& recorder, std::size_t index, QObject* parent)
      : QObject(parent), recorder_(recorder), index_(index) {}

 public slots:
  void tick() { recorder_.Tick(index_); }

 private:
  glimmer::TickRecorder& recorder_;
  std::size_t index_;
};

// The control's glyph table as the Canvas signs read it: character -> 5 columns, bit r for row r.
QVariantMap GlyphColumns() {
  QVariantMap glyphs;
  for (const glimmer::GlyphPattern& g : glimmer::kGlyphFont) {
    QVariantList columns;
    for (int c = 0; c < 5; ++c) {
      int bits = 0;
      for (int r = 0; r < 7; ++r)
        if (g.rows[static_cast<std::size_t>(r)][c] == '#') bits |= 1 << r;
      columns.append(bits);
    }
    glyphs.insert(QString(QChar(g.key)), columns);
  }
  return glyphs;
}

const char* BackendName(QSGRendererInterface::GraphicsApi api) {
  if (api == QSGRendererInterface::Software) return "software";
  if (api == QSGRendererInterface::OpenGL) return "opengl";
  if (api == QSGRendererInterface::Vulkan) return "vulkan";
  return "other";
}

// Starts the sign, or with `steps` of 1 or more moves it that many steps and stops it.
void Start(QQuickItem* sign, bool glimmer, const QVariant& glyphs, int steps) {
  if (glimmer) {
    auto* item = qobject_cast<glimmer::qt::LedSignItem*>(sign);
    item->start();
    for (int i = 0; i < steps; ++i)
      item->advance();
    if (steps > 0) item->stop();
    return;
  }
  QMetaObject::invokeMethod(sign, "start", Q_ARG(QVariant, glyphs));
  if (steps <= 0) return;
  sign->property("ticker").value<QObject*>()->setProperty("running", false);
  // The control draws its first frame on its first step, with the text still beyond the right edge; the
  // Canvas sign, like the QPainter widget, draws that frame at its start.
  sign->setProperty("step", steps - 1);
  QMetaObject::invokeMethod(sign, "requestPaint");
}

int Usage() {
  std::fputs("usage: qml_wall glimmer|canvas N [--same-phase | --steps K]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // What a QML program on a machine without a GPU would draw with.
  if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  QGuiApplication app(argc, argv);
  if (argc < 3) return Usage();
  const std::string_view kind = argv[1];
  const int count = std::atoi(argv[2]);
  const bool same_phase = argc > 3 && std::strcmp(argv[3], "--same-phase") == 0;
  const bool still = argc > 4 && std::strcmp(argv[3], "--steps") == 0;
  const int steps = still ? std::atoi(argv[4]) : -1;
  const bool glimmer = kind == "glimmer";
  if ((!glimmer && kind != "canvas") || count < 1 || (still && steps < 1)) return Usage();

  QQmlEngine engine;
  engine.addImportPath(QStringLiteral(GLIMMER_QML_DIR));
  QQmlComponent component(&engine);
  if (glimmer)
    component.setData("import Glimmer\nLedSign { repeated: true }\n", QUrl());
  else
    component.loadUrl(QUrl(QStringLiteral("qrc:/bench/canvas_sign.qml")));
  if (!component.isReady()) {
    std::cerr << "qml_wall: " << component.errorString().toStdString();
    return 1;
  }

  QQuickWindow window;
  window.setTitle(glimmer ? "Wall of LedSign items" : "Wall of Canvas signs");
  std::vector<QQuickItem*> signs;
  for (int i = 0; i < count; ++i) {
    auto* sign = qobject_cast<QQuickItem*>(component.create());
    sign->setParent(window.contentItem());
    sign->setParentItem(window.contentItem());
    const auto& colours = kWallColours[static_cast<std::size_t>(i % 3)];
    sign->setProperty("text",
                      QString::fromLatin1(kWallTexts[static_cast<std::size_t>(i) % kWallTexts.size()]));
    if (glimmer) {
      sign->setProperty("color", i % 3);
      sign->setProperty("delay", kWallDelay);
    } else {
      sign->setProperty("lit", QColor(QRgb(colours.lit)));
      sign->setProperty("unlit", QColor(QRgb(colours.unlit)));
      sign->setProperty("delay", kWallDelay);
    }
    sign->setWidth(kWallSignWidth);
    sign->setPosition(QPointF(kMargin + (i % kWallColumns) * (kWallSignWidth + kWallSpacing),
                              kMargin + (i / kWallColumns) * (kWallSignHeight + kWallSpacing)));
    signs.push_back(sign);
  }
  const int rows = (count + kWallColumns - 1) / kWallColumns;
  window.resize(2 * kMargin + kWallColumns * kWallSignWidth + (kWallColumns - 1) * kWallSpacing,
                2 * kMargin + rows * kWallSignHeight + (rows - 1) * kWallSpacing);

  const auto recorder = glimmer::TickRecorder::FromEnvironment(signs.size(), std::cerr);
  if (recorder && glimmer) {
    for (std::size_t i = 0; i < signs.size(); ++i)
      glimmer::qt::LedSignItemProbe::Timer(*qobject_cast<glimmer::qt::LedSignItem*>(signs[i]))
          .set_observer([r = recorder.get(), i] { r->Tick(i); });
  } else if (recorder) {
    for (std::size_t i = 0; i < signs.size(); ++i)
      QObject::connect(signs[i]->property("ticker").value<QObject*>(), SIGNAL(triggered()),
                       new TickRelay(*recorder, i, recorder.get()), SLOT(tick()));
  }

  window.show();
  QTimer::singleShot(kWallStartAfter / 2, &window, [&window] {
    std::cerr << "qml_wall: Qt Quick backend: " << BackendName(window.rendererInterface()->graphicsApi())
              << std::endl;
  });
  const QVariant glyphs = GlyphColumns();
  for (int i = 0; i < count; ++i) {
    QQuickItem* sign = signs[static_cast<std::size_t>(i)];
    QTimer::singleShot(kWallStartAfter + WallStartOffset(i, count, same_phase), Qt::PreciseTimer, sign,
                       [sign, glimmer, glyphs, steps] { Start(sign, glimmer, glyphs, steps); });
  }
  return app.exec();
}

#include "qml_wall.moc"
