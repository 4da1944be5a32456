// SPDX-License-Identifier: MIT
// The Qt container: the widget shows exactly the pixels of the headless container, its timers follow the
// container rules, resizes re-enter synchronously, callbacks never overlap, and timers stop before the
// control goes.
#include "host/qt/control_widget.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QTest>
#include <cmath>
#include <vector>

#include "control/interface/led_members.h"
#include "control/led.h"
#include "host/headless/headless_container.h"
#include "host/qt/repaint_pacer.h"
#include "tests/support/grab_difference.h"
#include "tests/support/reference_frame.h"
#include "tests/support/test_access.h"

namespace glimmer {
namespace {

using qt::ControlWidget;
using testing::FirstDifference;
using testing::GrabDifference;

// The same sign set up the same way in either container.
template <class Host>
void Prepare(Host& host, std::int32_t border_style) {
  ASSERT_TRUE(host.InitNew());
  ASSERT_TRUE(host.Resize(249, 40));  // the size rule makes it 251 x 32
  auto& led = host.template control_as<LED>();
  ASSERT_TRUE(led.Value(u"GLIMMER"));
  ASSERT_TRUE(led.Color(1));
  ASSERT_TRUE(led.Repeated(True));
  ASSERT_TRUE(led.BorderStyle(border_style));
  ASSERT_TRUE(led.Show());
}

// The widget as the screen shows it, at one image pixel per device pixel.
QImage Grab(ControlWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct GrabCase {
  int ticks;
  std::int32_t border_style;
};
void PrintTo(const GrabCase& c, std::ostream* os) {
  *os << c.ticks << " ticks, BorderStyle " << c.border_style;
}

class SamePixelsAsHeadless : public ::testing::TestWithParam<GrabCase> {};

TEST_P(SamePixelsAsHeadless, AfterKTicks) {
  ControlWidget widget(LED::Class());
  HeadlessContainer headless(LED::Class());
  Prepare(widget, GetParam().border_style);
  Prepare(headless, GetParam().border_style);
  for (int k = 0; k < GetParam().ticks; ++k) {
    ASSERT_TRUE(widget.FireTimer("TimerLED"));
    ASSERT_EQ(headless.RunTicks(1), 1);
  }
  const Image frame = headless.Frame();
  ASSERT_EQ(frame.width, 251);
  EXPECT_EQ(FirstDifference(widget.Frame(), frame), "");
  const int scale = widget.pixel_scale();
  EXPECT_EQ(GrabDifference(Grab(widget), frame, scale), "") << "scale " << scale;
}

INSTANTIATE_TEST_SUITE_P(Ticks, SamePixelsAsHeadless,
                         ::testing::Values(GrabCase{0, 1}, GrabCase{1, 1}, GrabCase{2, 1}, GrabCase{41, 1},
                                           GrabCase{125, 1}, GrabCase{126, 1}, GrabCase{30, 0}));

TEST(ControlWidget, PixelsAreScaledByAWholeFactorOnlyOnDenseScreens) {
  ControlWidget widget(LED::Class());
  Prepare(widget, 1);
  ASSERT_TRUE(widget.FireTimer("TimerLED"));
  ASSERT_TRUE(widget.FireTimer("TimerLED"));
  const qreal ratio = widget.devicePixelRatioF();
  // CTest runs these tests again with QT_SCALE_FACTOR 2 and 1.5: the screen must then have that ratio.
  if (const QByteArray factor = qgetenv("QT_SCALE_FACTOR"); !factor.isEmpty()) {
    EXPECT_DOUBLE_EQ(ratio, factor.toDouble());
  }
  const int scale = widget.pixel_scale();
  EXPECT_EQ(scale, ratio >= 2 ? static_cast<int>(ratio) : 1);
  // Device pixels: the control's 251 x 32 times the whole factor, every one a copy of a control pixel.
  const QImage grab = Grab(widget);
  EXPECT_EQ(GrabDifference(grab, widget.Frame(), scale), "") << "ratio " << ratio;
  EXPECT_LE(grab.width() - 251 * scale, 1);
}

TEST(ControlWidget, TimersFollowTheContainerRules) {
  ControlWidget widget(LED::Class());
  qt::QtTimer& timer = *widget.timer("TimerLED");
  // As designed: disabled, 50 ms.
  EXPECT_FALSE(timer.running());
  EXPECT_FALSE(timer.due());
  ASSERT_TRUE(timer.Enabled(true));
  EXPECT_TRUE(timer.running());
  // The first tick is due one interval from now, on the thread's ticker.
  ASSERT_TRUE(timer.due());
  EXPECT_LE(*timer.due(), qt::ThreadTicker::Now() + 50 * qt::ThreadTicker::kMillisecond);
  const int starts = timer.starts();
  // The same value changes nothing; a new one restarts the wait.
  ASSERT_TRUE(timer.Interval(50));
  ASSERT_TRUE(timer.Enabled(true));
  EXPECT_EQ(timer.starts(), starts);
  ASSERT_TRUE(timer.Interval(80));
  EXPECT_EQ(timer.starts(), starts + 1);
  EXPECT_LE(*timer.due(), qt::ThreadTicker::Now() + 80 * qt::ThreadTicker::kMillisecond);
  // A negative interval is refused and changes nothing.
  EXPECT_EQ(timer.Interval(-1), Status(Fail(Error::InvalidPropertyValue)));
  EXPECT_EQ(*timer.Interval(), 80);
  EXPECT_TRUE(timer.running());
  // An interval of 0 fires nothing, even while enabled.
  ASSERT_TRUE(timer.Interval(0));
  EXPECT_FALSE(timer.running());
  EXPECT_TRUE(*timer.Enabled());
  EXPECT_FALSE(widget.FireTimer("TimerLED"));
  ASSERT_TRUE(timer.Interval(20));
  EXPECT_TRUE(timer.running());
  ASSERT_TRUE(timer.Enabled(false));
  EXPECT_FALSE(timer.running());
  EXPECT_FALSE(widget.FireTimer("TimerLED"));
  EXPECT_EQ(widget.ticks(), 0);
}

TEST(ControlWidget, TicksAndPassesDoNotRestartTheTimer) {
  // A QTimer restarted on every tick or pass would drift by the tick's own time each time; the end of a
  // pass writes Enabled again with the value it has, which must change nothing.
  ControlWidget widget(LED::Class());
  Prepare(widget, 1);
  const int starts = widget.timer("TimerLED")->starts();
  std::int64_t passes = 0;
  widget.on_event = [&](DispId event) { passes += event == kTerminateEvent; };
  for (int k = 0; k < 250; ++k)
    ASSERT_TRUE(widget.FireTimer("TimerLED"));
  EXPECT_EQ(passes, 2);
  EXPECT_EQ(widget.timer("TimerLED")->starts(), starts);
}

TEST(ControlWidget, TheQTimerDrivesTheTick) {
  // The one test that waits for real time: the QTimer's own timeout must reach the control.
  ControlWidget widget(LED::Class());
  Prepare(widget, 1);
  ASSERT_TRUE(widget.control_as<LED>().Delay(1));
  QElapsedTimer waited;
  waited.start();
  while (widget.ticks() < 3 && waited.elapsed() < 30000)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  EXPECT_GE(widget.ticks(), 3);
  EXPECT_TRUE(widget.callback_errors().empty());
}

TEST(ControlWidget, EventsReachTheHostAsASignalAndACallbackInsideTheTick) {
  ControlWidget widget(LED::Class());
  Prepare(widget, 1);
  std::vector<std::int64_t> by_signal, by_callback;
  std::vector<bool> tick_refused;
  QObject::connect(&widget, &ControlWidget::eventRaised, [&](int event) {
    if (event == kTerminateEvent) by_signal.push_back(widget.ticks());
  });
  widget.on_event = [&](DispId event) {
    if (event != kTerminateEvent) return;
    by_callback.push_back(widget.ticks());
    // Still inside the tick: another tick cannot start.
    tick_refused.push_back(!widget.FireTimer("TimerLED"));
  };
  for (int k = 0; k < 250; ++k)
    ASSERT_TRUE(widget.FireTimer("TimerLED"));
  EXPECT_EQ(by_signal, (std::vector<std::int64_t>{125, 250}));
  EXPECT_EQ(by_callback, (std::vector<std::int64_t>{125, 250}));
  EXPECT_EQ(tick_refused, (std::vector<bool>{true, true}));
  EXPECT_EQ(widget.ticks(), 250);
}

// Where the sign goes out of sight: the widget itself or the window it sits in, hidden or minimised.
struct AwayCase {
  bool in_window;
  bool minimised;
};
void PrintTo(const AwayCase& c, std::ostream* os) {
  *os << (c.in_window ? "its window " : "the widget ") << (c.minimised ? "minimised" : "hidden");
}

// Lets Qt deliver what it has queued, repaints included.
void Settle() {
  QTest::qWait(100);
}

class OutOfSight : public ::testing::TestWithParam<AwayCase> {};

TEST_P(OutOfSight, TicksGoOnUnpaintedAndTheNextTickBackOnScreenPaints) {
  QWidget window;
  auto* widget = new ControlWidget(LED::Class(), GetParam().in_window ? &window : nullptr);
  std::unique_ptr<ControlWidget> owned(GetParam().in_window ? nullptr : widget);
  QWidget& top = GetParam().in_window ? window : *widget;
  HeadlessContainer headless(LED::Class());
  Prepare(*widget, 1);
  Prepare(headless, 1);
  // Only the test's ticks: the QTimer keeps running but is not due within the test.
  ASSERT_TRUE(widget->control_as<LED>().Delay(32767));
  std::vector<std::int64_t> terminates;
  widget->on_event = [&](DispId event) {
    if (event == kTerminateEvent) terminates.push_back(widget->ticks());
  };
  const auto tick = [&] {
    ASSERT_TRUE(widget->FireTimer("TimerLED"));
    ASSERT_EQ(headless.RunTicks(1), 1);
  };

  top.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
  tick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return TestAccess::paints(*widget) > 0; }));

  if (GetParam().minimised)
    top.showMinimized();
  else
    top.hide();
  Settle();
  EXPECT_FALSE(widget->OnScreen());
  const std::int64_t painted = TestAccess::paints(*widget);
  for (int k = 2; k <= 130; ++k) {
    tick();
    if (k % 10 == 0) QCoreApplication::processEvents();
  }
  Settle();
  EXPECT_EQ(TestAccess::paints(*widget), painted);
  // The control ran as ever: its timer, its pass and its pixels.
  EXPECT_TRUE(widget->timer("TimerLED")->running());
  EXPECT_EQ(terminates, std::vector<std::int64_t>{125});
  EXPECT_EQ(FirstDifference(widget->Frame(), headless.Frame()), "");

  top.showNormal();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
  ASSERT_TRUE(QTest::qWaitFor([&] { return widget->OnScreen(); }));
  // Back on screen it shows the current pixels at once, and every tick from then on.
  EXPECT_TRUE(QTest::qWaitFor([&] { return TestAccess::paints(*widget) > painted; }));
  Settle();
  const std::int64_t back = TestAccess::paints(*widget);
  tick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return TestAccess::paints(*widget) > back; }));
  EXPECT_EQ(GrabDifference(Grab(*widget), headless.Frame(), widget->pixel_scale()), "");
}

INSTANTIATE_TEST_SUITE_P(Away, OutOfSight,
                         ::testing::Values(AwayCase{false, false}, AwayCase{false, true},
                                           AwayCase{true, false}, AwayCase{true, true}));

// Counts the repaint passes of a window: one for every batch of widgets Qt paints together.
class PaintPasses : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    count += event->type() == QEvent::UpdateRequest;
    return false;
  }
};

TEST(ControlWidget, TicksWithinAFrameArePaintedTogetherAndNoneIsLost) {
  QWidget window;
  std::vector<ControlWidget*> signs;
  for (int i = 0; i < 4; ++i) {
    signs.push_back(new ControlWidget(LED::Class(), &window));
    signs.back()->move(0, 40 * i);
    Prepare(*signs.back(), 1);
    ASSERT_TRUE(signs.back()->control_as<LED>().Delay(32767));  // only the test's ticks
  }
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  qt::RepaintPacer& pacer = qt::RepaintPacer::instance();
  // A frame far longer than the test takes, so that what it gathers does not depend on the machine.
  TestAccess::set_frame_milliseconds(pacer, 1000);
  QTest::qWait(1100);  // nothing painted within the last frame
  PaintPasses passes;
  window.installEventFilter(&passes);
  std::vector<std::int64_t> painted;
  for (ControlWidget* sign : signs)
    painted.push_back(TestAccess::paints(*sign));

  // Each sign ticks at a moment of its own, with Qt free to paint in between.
  for (ControlWidget* sign : signs) {
    ASSERT_TRUE(sign->FireTimer("TimerLED"));
    QCoreApplication::processEvents();
  }
  for (std::size_t i = 0; i < signs.size(); ++i)
    EXPECT_TRUE(QTest::qWaitFor([&] { return TestAccess::paints(*signs[i]) > painted[i]; }, 5000))
        << "sign " << i;
  TestAccess::set_frame_milliseconds(pacer, qt::RepaintPacer::kDefaultFrameMilliseconds);
  // The first at once, the three within its frame together at the frame's end.
  EXPECT_EQ(passes.count, 2);
  window.removeEventFilter(&passes);
}

// Records the areas the widget paints.
class PaintAreas : public QObject {
 public:
  std::vector<QRect> rects;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(event)->rect());
    return false;
  }
};

TEST(ControlWidget, ATickRepaintsOnlyWhatItChanged) {
  ControlWidget widget(LED::Class());
  Prepare(widget, 1);
  ASSERT_TRUE(widget.control_as<LED>().Delay(32767));  // only the test's ticks
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  for (int t = 0; t < 10; ++t)
    ASSERT_TRUE(widget.FireTimer("TimerLED"));
  Settle();
  PaintAreas areas;
  widget.installEventFilter(&areas);
  // The text has come in 8 dot columns from the right edge: what is left of it is grid, as it was.
  ASSERT_TRUE(widget.FireTimer("TimerLED"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !areas.rects.empty(); }, 5000));
  widget.removeEventFilter(&areas);
  // In control pixels: the areas are logical pixels, of which a control pixel is one below a ratio of 2.
  const qreal factor = widget.pixel_scale() / widget.devicePixelRatioF();
  const QRect& area = areas.rects.front();
  EXPECT_GE(area.left(), std::floor(200 * factor));
  EXPECT_LE(area.right(), std::ceil(250 * factor));
  EXPECT_GE(area.top(), std::floor(2 * factor));
  EXPECT_LE(area.bottom(), std::ceil(29 * factor));
}

TEST(ControlWidget, PropertyChangesReachTheHost) {
  ControlWidget widget(LED::Class());
  ASSERT_TRUE(widget.InitNew());
  std::vector<QString> names;
  QObject::connect(&widget, &ControlWidget::propertyChanged,
                   [&](const QString& name) { names.push_back(name); });
  ASSERT_TRUE(widget.control_as<LED>().Color(2));
  ASSERT_TRUE(widget.control_as<LED>().Color(9));  // refused by the control: nothing to save
  EXPECT_EQ(names, std::vector<QString>{"Color"});
}

TEST(ControlWidget, TheSizeRuleShapesTheWidget) {
  ControlWidget widget(LED::Class());
  ASSERT_TRUE(widget.InitNew());
  // Designed at 160 x 40 pixels, unsited.
  EXPECT_EQ(widget.width_pixels(), 160);
  ASSERT_TRUE(widget.Site());
  EXPECT_EQ(widget.width_pixels(), 161);
  EXPECT_EQ(widget.height_pixels(), 32);
  ASSERT_TRUE(widget.Resize(252, 100));
  EXPECT_EQ(widget.width_pixels(), 254);
  EXPECT_EQ(widget.height_pixels(), 32);
  EXPECT_EQ(widget.shape("ShapeBorder", 0)->bounds(), (Rect{0, 0, 254, 32}));
  EXPECT_EQ(widget.shape("ShapeBorder", 1)->bounds(), (Rect{1, 1, 253, 31}));
  const int scale = widget.pixel_scale();
  const qreal ratio = widget.devicePixelRatioF();
  EXPECT_NEAR(widget.width() * ratio, 254 * scale, ratio);
  EXPECT_NEAR(widget.height() * ratio, 32 * scale, ratio);
  EXPECT_EQ(widget.minimumSize(), widget.maximumSize());  // the layout cannot stretch it
}

// A control that only watches its container, for what the LED does not show.
class Probe final : public Control {
 public:
  explicit Probe(Container& container) : container_(container) {}
  ~Probe() override;

  Status UserControl_Initialize() override { return {}; }
  Status UserControl_InitProperties() override { return {}; }
  Status UserControl_ReadProperties(PropertyBag&) override { return {}; }
  Status UserControl_WriteProperties(PropertyBag&) override { return {}; }
  Status UserControl_Resize() override;
  Status UserControl_Terminate() override;
  Status OnTimer(std::string_view) override { return {}; }
  std::span<const MemberInfo> Members() const override { return {}; }
  std::span<const EventInfo> Events() const override { return {}; }
  Result<PropertyValue> Invoke(DispId, InvokeKind, std::span<const PropertyValue>) override {
    return Fail(Error::MemberNotFound);
  }

  struct Log {
    std::vector<std::string> lines;
  };
  static inline Log* log = nullptr;

 private:
  [[nodiscard]] bool TimerRunning() const {
    return static_cast<ControlWidget&>(container_).timer("TimerProbe")->running();
  }

  Container& container_;
  int depth_ = 0;
};

Probe::~Probe() {
  log->lines.push_back(TimerRunning() ? "destroyed, timer running" : "destroyed, timer stopped");
}

// Snaps the width to 100 pixels, as a size rule would; the nested resize comes before Width returns.
Status Probe::UserControl_Resize() {
  ++depth_;
  const float width = *container_.ScaleWidth();
  log->lines.push_back("resize " + std::to_string(depth_) + " at " + std::to_string(static_cast<int>(width)));
  const Status s = container_.Width(100 * 15.0f);
  log->lines.push_back("width set " + std::to_string(depth_));
  --depth_;
  return s;
}

Status Probe::UserControl_Terminate() {
  log->lines.push_back(TimerRunning() ? "terminate, timer running" : "terminate, timer stopped");
  return {};
}

const ControlDesign& ProbeDesign() {
  static const ControlDesign design{
      .back_color = ColorRef{0},
      .width_twips = 600,
      .height_twips = 300,
      .children = {TimerDesign{.name = "TimerProbe", .enabled = true, .interval = 1000}}};
  return design;
}

const ControlClass& ProbeClass() {
  static const ControlClass cls{"Tests.Probe", &ProbeDesign(), [](Container& c) -> std::unique_ptr<Control> {
                                  return std::make_unique<Probe>(c);
                                }};
  return cls;
}

class WithProbe : public ::testing::Test {
 protected:
  void SetUp() override { Probe::log = &log_; }
  void TearDown() override { Probe::log = nullptr; }
  Probe::Log log_;
};

TEST_F(WithProbe, ASizeTheControlAssignsReentersResizeBeforeTheAssignmentReturns) {
  ControlWidget widget(ProbeClass());
  ASSERT_TRUE(widget.Site());
  // 40 pixels wide as designed; the nested run finds 100 and sets 100 again, which raises nothing more.
  EXPECT_EQ(log_.lines,
            (std::vector<std::string>{"resize 1 at 40", "resize 2 at 100", "width set 2", "width set 1"}));
  EXPECT_EQ(widget.width_pixels(), 100);
}

TEST_F(WithProbe, TimersStopBeforeTheControlIsTerminatedAndDestroyed) {
  {
    ControlWidget widget(ProbeClass());
    ASSERT_TRUE(widget.timer("TimerProbe")->running());
  }
  EXPECT_EQ(log_.lines, (std::vector<std::string>{"terminate, timer stopped", "destroyed, timer stopped"}));
}

}  // namespace
}  // namespace glimmer
