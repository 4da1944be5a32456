// SPDX-License-Identifier: MIT
// Both Qt faces of the sign at the device pixel ratio QT_SCALE_FACTOR gives (CTest runs this at 1, 1.25, 1.5,
// 1.75, 2 and 3): the widget (QWidget::grab) and the QML item (QQuickWindow::grabWindow, software renderer)
// show the same device pixels, enabled and disabled (half way to the palette's background); the dots are
// evenly spaced; at a whole ratio the pixels are the control's frame scaled.
#include <glimmer/qt/led_sign.h>
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QQuickWindow>
#include <QTest>
#include <cmath>
#include <vector>

#include "qt/quick/led_sign_item.h"
#include "qt/widget/led_sign_p.h"
#include "tests/support/grab_difference.h"

namespace glimmer {
namespace {

using qt::LedSign;
using qt::LedSignItem;

qreal Ratio() {
  return qGuiApp->devicePixelRatio();
}
bool WholeRatio() {
  return Ratio() == std::round(Ratio());
}
// The device pixels the sign covers: whole device pixels within its logical size.
QSize DeviceSize(QSize logical) {
  return {static_cast<int>(std::floor(logical.width() * Ratio() + 1e-6)),
          static_cast<int>(std::floor(logical.height() * Ratio() + 1e-6))};
}

template <class Face>
void Play(Face& face, int steps) {
  face.setText("GLIMMER 12:34");
  face.setColor(LedSign::Color::Green);
  face.setDelay(32767);
  ASSERT_TRUE(face.start());
  for (int i = 0; i < steps; ++i)
    ASSERT_TRUE(face.advance());
}

QImage Grab(LedSign& sign) {
  return sign.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The item in a window (larger: the software renderer leaves a last, partly covered device column blank).
struct ItemWindow {
  ItemWindow() {
    window.resize(200, 60);
    item = new LedSignItem(window.contentItem());
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QImage Grab() { return window.grabWindow().convertToFormat(QImage::Format_RGB32); }
  QQuickWindow window;
  LedSignItem* item;
};

// The first device pixel of the sign where two grabs differ, or "".
std::string Difference(const QImage& a, const QImage& b) {
  const QSize area = DeviceSize({161, 32});
  if (a.width() < area.width() || a.height() < area.height() || b.width() < area.width() ||
      b.height() < area.height())
    return "grabs of " + std::to_string(a.width()) + " and " + std::to_string(b.width()) + " wide";
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y))
        return "device pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return "";
}

// Disabled through a parent, each face dims its sign half way to the palette's background, alike.
TEST(SignScale, BothFacesShowTheSameDevicePixelsEnabledAndDisabled) {
  QWidget parent;
  auto* sign = new LedSign(&parent);
  Play(*sign, 40);
  ItemWindow quick;
  Play(*quick.item, 40);
  EXPECT_EQ(quick.item->size(), QSizeF(sign->size()));
  QImage dimmed = Grab(*sign);
  EXPECT_EQ(Difference(dimmed, quick.Grab()), "") << "enabled";
  const QRgb over = sign->palette().color(QPalette::Disabled, QPalette::Window).rgb();
  for (int y = 0; y < dimmed.height(); ++y)
    for (int x = 0; x < dimmed.width(); ++x) {
      const QRgb p = dimmed.pixel(x, y);
      dimmed.setPixel(
          x, y,
          qRgb((qRed(p) + qRed(over)) / 2, (qGreen(p) + qGreen(over)) / 2, (qBlue(p) + qBlue(over)) / 2));
    }
  parent.setEnabled(false);
  quick.window.contentItem()->setEnabled(false);
  const QImage disabled = Grab(*sign);
  EXPECT_EQ(Difference(disabled, dimmed), "") << "half way";
  EXPECT_EQ(Difference(disabled, quick.Grab()), "") << "disabled";
}

TEST(SignScale, WholeRatiosShowTheFrameScaled) {
  if (!WholeRatio()) GTEST_SKIP() << "a fractional ratio lays the dots out anew";
  LedSign sign;
  Play(sign, 40);
  const int scale = static_cast<int>(Ratio());
  EXPECT_EQ(testing::GrabDifference(Grab(sign), qt::LedSignPrivate::Core(sign).Frame(), scale), "");
}

// The runs of pixels other than the control's black along a line: the rings, then each dot.
std::vector<std::pair<int, int>> Runs(const std::vector<QRgb>& line) {
  std::vector<std::pair<int, int>> runs;  // start, length
  for (int i = 0; i < static_cast<int>(line.size()); ++i) {
    if (qGray(line[static_cast<std::size_t>(i)]) == 0) continue;
    if (!runs.empty() && runs.back().first + runs.back().second == i)
      ++runs.back().second;
    else
      runs.emplace_back(i, 1);
  }
  return runs;
}

// Along the middle of the first row of dots and of the first column: every dot as wide as the next, and
// as far from it.
TEST(SignScale, DotsAreEvenlySpaced) {
  LedSign sign;  // empty: every dot unlit, on black
  ASSERT_TRUE(sign.start());
  ASSERT_TRUE(sign.advance());
  const QImage grab = Grab(sign);
  const QSize device = DeviceSize(sign.size());
  const auto check = [](const std::vector<QRgb>& line, int dots) {
    std::vector<std::pair<int, int>> runs = Runs(line);
    ASSERT_EQ(static_cast<int>(runs.size()), dots + 2) << "the rings and the dots";
    const int pitch = runs[2].first - runs[1].first;
    for (std::size_t k = 1; k + 1 < runs.size(); ++k) {
      EXPECT_EQ(runs[k].second, runs[1].second) << "dot " << k;
      if (k > 1) {
        EXPECT_EQ(runs[k].first - runs[k - 1].first, pitch) << "dot " << k;
      }
    }
  };
  // The rows of dots: down the middle third of the sign, where every row of dots has a dot somewhere.
  std::vector<QRgb> column(static_cast<std::size_t>(device.height()));
  for (int y = 0; y < device.height(); ++y)
    for (int x = device.width() / 3; x < 2 * device.width() / 3; ++x)
      column[static_cast<std::size_t>(y)] |= grab.pixel(x, y);
  const auto rows = Runs(column);
  ASSERT_GE(rows.size(), 3U);
  std::vector<QRgb> row(static_cast<std::size_t>(device.width()));
  for (int x = 0; x < device.width(); ++x)
    row[static_cast<std::size_t>(x)] = grab.pixel(x, rows[1].first + rows[1].second / 2);
  check(row, (161 - 2) / 3 - 1);
  // A column through the first dot of that row.
  const int x = Runs(row)[1].first + Runs(row)[1].second / 2;
  for (int y = 0; y < device.height(); ++y)
    column[static_cast<std::size_t>(y)] = grab.pixel(x, y);
  check(column, 9);
}

}  // namespace
}  // namespace glimmer
