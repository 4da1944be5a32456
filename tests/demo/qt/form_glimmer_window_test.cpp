// SPDX-License-Identifier: MIT
// The FormGlimmer window: its frame, size and place, LED1 in it, Form_Load and Form_Unload, and the sign's
// pixels against the headless frames.
#include "demo/qt/form_glimmer_window.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "demo/form/built_in_form.h"
#include "demo/form/form_file.h"
#include "host/headless/headless_container.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

FormDescription BuiltIn() {
  auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  EXPECT_TRUE(form);
  return *form;
}

std::unique_ptr<FormGlimmerWindow> Open(const Overrides& overrides = {}) {
  auto window = FormGlimmerWindow::Create(BuiltIn(), overrides);
  EXPECT_TRUE(window);
  return window ? std::move(*window) : nullptr;
}

TEST(FormGlimmerWindow, IsTheStoredWindow) {
  const auto window = Open();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->windowTitle(), "Glimmer");
  // Fixed single frame: the client area cannot grow or shrink.
  EXPECT_EQ(window->size(), QSize(265, 112));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window->LED1().geometry(), QRect(8, 8, 251, 32));
  EXPECT_EQ(window->LED1().parentWidget(), window.get());
  // Centred on the screen.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(window->geometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(window->geometry().center().y() - screen.center().y()), 1);
}

TEST(FormGlimmerWindow, GrowsAroundAWiderSign) {
  const auto window = Open({.width = 302});
  ASSERT_TRUE(window);
  EXPECT_EQ(window->LED1().geometry(), QRect(8, 8, 302, 32));
  EXPECT_EQ(window->size(), QSize(318, 112));
}

TEST(FormGlimmerWindow, LoadStartsTheSignAndClosingStopsItForGood) {
  const auto window = Open();
  ASSERT_TRUE(window);
  qt::ControlWidget& led1 = window->LED1();
  EXPECT_FALSE(led1.timer("TimerLED")->running());
  ASSERT_TRUE(window->Load());
  EXPECT_TRUE(led1.timer("TimerLED")->running());
  EXPECT_EQ(*led1.timer("TimerLED")->Interval(), 50);
  ASSERT_TRUE(led1.FireTimer("TimerLED"));
  ASSERT_TRUE(led1.FireTimer("TimerLED"));

  EXPECT_TRUE(window->close());  // Form_Unload leaves Cancel at 0: the window closes
  EXPECT_TRUE(window->unload_status());
  EXPECT_FALSE(led1.timer("TimerLED")->running());
  EXPECT_FALSE(led1.FireTimer("TimerLED"));
  EXPECT_EQ(led1.ticks(), 2);
  // Clear left the control black inside its rings.
  EXPECT_EQ(testing::FirstDifference(led1.Frame(), testing::ExpectedFrame({.width = 251, .grid = false})),
            "");
}

TEST(FormGlimmerWindow, TheSignInTheWindowShowsTheHeadlessFrames) {
  const auto window = Open({.text = u"AB", .color = 2});
  ASSERT_TRUE(window);
  HeadlessContainer headless(LED::Class());
  ASSERT_TRUE(BuildLed1(headless, BuiltIn().led1, {.text = u"AB", .color = 2}));
  ASSERT_TRUE(window->Load());
  ASSERT_TRUE(Form_Load(headless.control()));
  for (int k = 0; k < 20; ++k) {
    ASSERT_TRUE(window->LED1().FireTimer("TimerLED"));
    ASSERT_EQ(headless.RunTicks(1), 1);
  }
  const int scale = window->LED1().pixel_scale();
  const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const qreal ratio = shot.devicePixelRatio();
  const Image frame = headless.Frame();
  const int x0 = static_cast<int>(8 * ratio), y0 = static_cast<int>(8 * ratio);
  int differences = 0;
  for (int y = 0; y < frame.height * scale; ++y)
    for (int x = 0; x < frame.width * scale; ++x)
      if (shot.pixel(x0 + x, y0 + y) != frame.at(x / scale, y / scale)) ++differences;
  EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace glimmer
