// SPDX-License-Identifier: MIT
// The LedSign widget: its Qt properties by name (the control's range refusals, NOTIFY only when an accepted
// write changes the value), the signals and slots, the size in layouts, the pixels, and what a screen
// reader sees.
#include <glimmer/qt/led_sign.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>
#include <vector>

#include "control/interface/led_members.h"
#include "control/led.h"
#include "host/headless/headless_container.h"
#include "qt/widget/led_sign_accessible.h"
#include "qt/widget/led_sign_p.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

using qt::LedSign;

LED& Control(LedSign& sign) {
  return qt::LedSignPrivate::Core(sign).control_as<LED>();
}

// One row of the property table: a value the control accepts (and how it reads back), and values it refuses.
struct PropertyCase {
  const char* name;
  QVariant accepted;
  QVariant read_back;
  std::vector<QVariant> refused;
};
void PrintTo(const PropertyCase& c, std::ostream* os) {
  *os << c.name;
}

class PropertyByName : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(PropertyByName, RefusedWritesChangeNothingAndAcceptedOnesNotifyOnlyAChange) {
  LedSign sign;
  const PropertyCase& c = GetParam();
  const QMetaProperty property = sign.metaObject()->property(sign.metaObject()->indexOfProperty(c.name));
  ASSERT_TRUE(property.hasNotifySignal());
  QSignalSpy notified(&sign, property.notifySignal());
  const QVariant initial = sign.property(c.name);
  for (const QVariant& v : c.refused) {
    sign.setProperty(c.name, v);
    EXPECT_EQ(sign.property(c.name), initial) << v.toString().toStdString();
  }
  EXPECT_EQ(notified.count(), 0);
  ASSERT_TRUE(sign.setProperty(c.name, c.accepted));
  EXPECT_EQ(sign.property(c.name), c.read_back);
  ASSERT_EQ(notified.count(), 1);
  EXPECT_EQ(notified[0][0], c.read_back);
  // The same value again: the control accepts it (and tells its container), but nothing changed.
  ASSERT_TRUE(sign.setProperty(c.name, c.accepted));
  EXPECT_EQ(notified.count(), 1);
}

const QString kOddText = QString::fromStdU16String(u"A\U0001F600") + QChar(0xD800) +
                         QChar(u'Z');  // a surrogate pair and a lone one

INSTANTIATE_TEST_SUITE_P(
    Table, PropertyByName,
    ::testing::Values(
        PropertyCase{"text", kOddText, kOddText, {}},
        PropertyCase{"color", "Green", QVariant::fromValue(LedSign::Color::Green), {3, -1, "Purple"}},
        // 65586 would be 50 if it were cut to 16 bits; it is refused like 40000.
        PropertyCase{"delay", 20, 20, {-1, 40000, 65586, -65486}}, PropertyCase{"repeated", true, true, {}},
        PropertyCase{"borderStyle", 0, 0, {2, -1}},
        PropertyCase{"glyphs", "Latin1", QVariant::fromValue(LedSign::Glyphs::Latin1), {3, -1, "Klingon"}},
        PropertyCase{"upperCase", true, true, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LedSign, StartsAsANewControlSizedByTheSizeRule) {
  LedSign sign;
  EXPECT_EQ(sign.text(), "");
  EXPECT_EQ(sign.color(), LedSign::Color::Red);
  EXPECT_EQ(sign.delay(), 50);
  EXPECT_FALSE(sign.isRepeated());
  EXPECT_EQ(sign.borderStyle(), 1);
  EXPECT_TRUE(sign.isEnabled());
  EXPECT_FALSE(sign.isScrolling());
  EXPECT_EQ(sign.size(), QSize(161, 32));
  EXPECT_EQ(sign.sizeHint(), QSize(161, 32));
  EXPECT_EQ(sign.minimumSizeHint(), QSize(161, 32));
  EXPECT_EQ(sign.sizePolicy(), QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed));
  const QMetaProperty text = sign.metaObject()->userProperty();
  EXPECT_STREQ(text.name(), "text");
}

TEST(LedSign, WritesThroughTheControlNotifyToo) {
  LedSign sign;
  QSignalSpy colours(&sign, &LedSign::colorChanged);
  QSignalSpy texts(&sign, &LedSign::textChanged);
  const PropertyValue yellow(std::int32_t{2});
  ASSERT_TRUE(Control(sign).Invoke("color", InvokeKind::PropertyPut, std::span(&yellow, 1)));
  ASSERT_TRUE(Control(sign).Value(u"LATE"));
  ASSERT_EQ(colours.count(), 1);
  EXPECT_EQ(colours[0][0].value<LedSign::Color>(), LedSign::Color::Yellow);
  ASSERT_EQ(texts.count(), 1);
  EXPECT_EQ(texts[0][0].toString(), "LATE");
}

TEST(LedSign, EnabledIsKeptInStepWithTheControlBothWays) {
  QWidget parent;
  auto* sign = new LedSign(&parent);
  sign->setEnabled(false);
  EXPECT_EQ(Control(*sign).Enabled(), False);
  ASSERT_TRUE(Control(*sign).Enabled(True));
  EXPECT_TRUE(sign->isEnabled());
  // A parent's state is not the sign's own: the control keeps Enabled.
  parent.setEnabled(false);
  EXPECT_FALSE(sign->isEnabled());
  EXPECT_EQ(Control(*sign).Enabled(), True);
  parent.setEnabled(true);
  ASSERT_TRUE(sign->setProperty("enabled", false));
  EXPECT_EQ(Control(*sign).Enabled(), False);
}

TEST(LedSign, DescriptionsAndCategoriesAreTheControlMembers) {
  const std::vector<std::pair<const char*, std::string_view>> names = {{"text", "Value"},
                                                                       {"color", "Color"},
                                                                       {"delay", "Delay"},
                                                                       {"repeated", "Repeated"},
                                                                       {"borderStyle", "BorderStyle"},
                                                                       {"enabled", "Enabled"},
                                                                       {"start", "Show"},
                                                                       {"clear", "Clear"}};
  for (const auto& [qt_name, member] : names) {
    const MemberInfo* m = nullptr;
    for (const MemberInfo& info : LedMembers())
      if (info.name == member) m = &info;
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LedSign::description(qt_name).toStdString(), m->description) << qt_name;
    EXPECT_EQ(LedSign::category(qt_name).toStdString(), m->category.substr(m->category.find(';') + 1))
        << qt_name;
  }
  EXPECT_EQ(LedSign::category("color"), "Appearance");
  EXPECT_EQ(LedSign::description("passFinished").toStdString(), LedEvents()[2].description);
  EXPECT_EQ(LedSign::description("doubleClicked").toStdString(), LedEvents()[1].description);
  EXPECT_EQ(LedSign::description("width"), "");
}

TEST(LedSign, PassFinishedComesInsideTheStepThatEndsThePass) {
  LedSign sign;
  sign.setText("HI");  // 53 + 6 x 2 = 65 steps on a sign 161 wide
  QSignalSpy scrolling(&sign, &LedSign::scrollingChanged);
  std::vector<int> finished_at;
  int steps = 0;
  QObject::connect(&sign, &LedSign::passFinished, [&] {
    finished_at.push_back(steps + 1);
    EXPECT_FALSE(sign.advance());  // still inside the step
  });
  EXPECT_FALSE(sign.advance());
  ASSERT_TRUE(sign.start());
  EXPECT_TRUE(sign.isScrolling());
  while (sign.advance())
    ++steps;
  EXPECT_EQ(finished_at, std::vector<int>{65});
  EXPECT_EQ(steps, 65);
  EXPECT_FALSE(sign.isScrolling());
  ASSERT_EQ(scrolling.count(), 2);
  EXPECT_EQ(scrolling[1][0], false);
}

TEST(LedSign, ShowsTheControlsPixels) {
  LedSign sign;
  HeadlessContainer headless(LED::Class());
  ASSERT_TRUE(headless.InitNew());
  ASSERT_TRUE(headless.Site());
  for (LED* led : {&Control(sign), &headless.control_as<LED>()}) {
    ASSERT_TRUE(led->Value(u"GLIMMER"));
    ASSERT_TRUE(led->Color(1));
  }
  ASSERT_TRUE(sign.start());
  ASSERT_TRUE(headless.control_as<LED>().Show());
  for (int k = 0; k < 30; ++k) {
    ASSERT_TRUE(sign.advance());
    ASSERT_EQ(headless.RunTicks(1), 1);
  }
  const QImage grab = sign.grab().toImage().convertToFormat(QImage::Format_RGB32);
  Image shown(grab.width(), grab.height());
  for (int y = 0; y < grab.height(); ++y)
    for (int x = 0; x < grab.width(); ++x)
      shown.at(x, y) = grab.pixel(x, y);
  EXPECT_EQ(testing::FirstDifference(shown, headless.Frame()), "");
}

// The widest sign the size rule allows within a width: 3n + 2, not above it.
int WidestSignWithin(int width) {
  return std::max(2, (width - 2) / 3 * 3 + 2);
}

TEST(LedSign, KeepsTheSizeItIsGivenAndDrawsTheWidestSignWithin) {
  LedSign hidden;
  hidden.resize(300, 50);
  ASSERT_TRUE(hidden.start());  // takes the width it was given before the control makes its surface
  EXPECT_EQ(hidden.size(), QSize(300, 50));
  EXPECT_EQ(hidden.sizeHint(), QSize(161, 32));
  EXPECT_EQ(qt::LedSignPrivate::Core(hidden).width_pixels(), 299);
  // Resized while it scrolls (shown: a hidden widget hears of its size when it is shown or started): the
  // widget keeps the new size, the sign takes the widest width within at once.
  hidden.show();
  hidden.resize(250, 32);
  ASSERT_TRUE(hidden.advance());
  EXPECT_EQ(hidden.size(), QSize(250, 32));
  EXPECT_EQ(qt::LedSignPrivate::Core(hidden).Frame().width, 248);
}

// A sign in a layout with spacing 0 between neighbours of a solid colour: the layout's geometry is the
// sign's, nothing of it is drawn on its neighbours, and it draws the widest sign that fits.
enum class Box { H, V, Grid };
struct Sizing {
  const char* name;
  void (*apply)(LedSign&);
  QSize given;  // by the layout; a width of 0: the stretched row's, whatever the layout leaves
};
void PrintTo(const Sizing& s, std::ostream* os) {
  *os << s.name;
}

class InALayout : public ::testing::TestWithParam<std::tuple<Box, Sizing>> {};

TEST_P(InALayout, StaysInsideItsGeometry) {
  const auto& [box, sizing] = GetParam();
  const QColor solid(0xff, 0x00, 0xff);
  QWidget window;
  window.resize(700, 120);
  auto neighbour = [&] {
    auto* w = new QWidget;
    w->setAutoFillBackground(true);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, solid);
    w->setPalette(palette);
    w->setMinimumSize(20, 20);
    return w;
  };
  auto* sign = new LedSign;
  sizing.apply(*sign);
  std::vector<QWidget*> neighbours;
  if (box == Box::Grid) {
    auto* grid = new QGridLayout(&window);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(sign, 1, 1);
    for (const auto& [row, column] : {std::pair{1, 0}, {1, 2}, {0, 1}, {2, 1}}) {
      neighbours.push_back(neighbour());
      grid->addWidget(neighbours.back(), row, column);
    }
  } else {
    auto* line =
        box == Box::H ? static_cast<QBoxLayout*>(new QHBoxLayout(&window)) : new QVBoxLayout(&window);
    line->setSpacing(0);
    line->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : {neighbour(), static_cast<QWidget*>(sign), neighbour()}) {
      line->addWidget(w);
      if (w != sign) neighbours.push_back(w);
    }
  }
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  if (sizing.given.width() > 0)
    EXPECT_EQ(sign->size(), sizing.given);
  else
    EXPECT_GT(sign->width(), 600);  // stretched
  EXPECT_EQ(sign->height(), sizing.given.height());

  const QImage grab = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (QWidget* w : neighbours) {
    const QRect r = w->geometry().intersected(grab.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        ASSERT_EQ(QColor(grab.pixel(x, y)), solid) << "(" << x << ", " << y << ")";
  }
  // The outer ring on the sign's top row: from its left edge to the right edge of the widest sign.
  const QRgb ring = grab.pixel(sign->x(), sign->y());
  int right = sign->x();
  for (int x = sign->x(); x <= sign->geometry().right(); ++x)
    if (grab.pixel(x, sign->y()) == ring) right = x;
  EXPECT_EQ(right - sign->x() + 1, WidestSignWithin(sign->width()));
  EXPECT_NE(QColor(ring), window.palette().color(QPalette::Window));
}

const Sizing kSizings[] = {
    {"MinimumWidth300", [](LedSign& s) { s.setMinimumWidth(300); }, {300, 32}},
    {"Fixed100x10", [](LedSign& s) { s.setFixedSize(100, 10); }, {100, 10}},
    {"Fixed200x32", [](LedSign& s) { s.setFixedSize(200, 32); }, {200, 32}},
    {"Expanding", [](LedSign& s) { s.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed); }, {0, 32}},
    {"TooSmall", [](LedSign& s) { s.setMaximumWidth(50); }, {50, 32}},
};
std::string LayoutCaseName(const ::testing::TestParamInfo<std::tuple<Box, Sizing>>& info) {
  const char* names[] = {"HBox", "VBox", "Grid"};
  return std::string(names[static_cast<int>(std::get<0>(info.param))]) + std::get<1>(info.param).name;
}
INSTANTIATE_TEST_SUITE_P(Table, InALayout,
                         ::testing::Combine(::testing::Values(Box::H, Box::V, Box::Grid),
                                            ::testing::ValuesIn(kSizings)),
                         LayoutCaseName);

TEST(LedSign, ClicksWhileEnabled) {
  LedSign sign;
  sign.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sign));
  QSignalSpy clicked(&sign, &LedSign::clicked);
  QSignalSpy double_clicked(&sign, &LedSign::doubleClicked);
  QTest::mouseClick(&sign, Qt::LeftButton);
  QTest::mouseClick(&sign, Qt::RightButton);
  EXPECT_EQ(clicked.count(), 1);
  QTest::mouseDClick(&sign, Qt::LeftButton);
  EXPECT_EQ(double_clicked.count(), 1);
  sign.setEnabled(false);
  QTest::mouseClick(&sign, Qt::LeftButton);
  QTest::mouseDClick(&sign, Qt::LeftButton);
  EXPECT_EQ(double_clicked.count(), 1);
  const int clicks = clicked.count();
  // The control's own event channel reaches the same signals.
  ASSERT_TRUE(qt::LedSignPrivate::Core(sign).RaiseEvent(kClickEvent));
  EXPECT_EQ(clicked.count(), clicks + 1);
}

std::vector<std::pair<QObject*, QAccessible::Event>> accessible_events;
void RecordAccessibleEvent(QAccessibleEvent* event) {
  accessible_events.emplace_back(event->object(), event->type());
}

TEST(LedSign, ScreenReadersReadTheWholeTextAndWhetherItScrolls) {
  LedSign sign;
  const QString text = "A TEXT MUCH LONGER THAN THE SIGN CAN SHOW AT ONCE";
  accessible_events.clear();
  // Qt passes the events on only while a screen reader listens; none does here.
  const auto previous = std::exchange(qt::LedSignAccessible::announce, RecordAccessibleEvent);
  sign.setText(text);
  sign.setText(text);
  ASSERT_TRUE(sign.start());
  qt::LedSignAccessible::announce = previous;
  using Event = std::pair<QObject*, QAccessible::Event>;
  EXPECT_EQ(accessible_events,
            (std::vector<Event>{{&sign, QAccessible::NameChanged}, {&sign, QAccessible::StateChanged}}));

  QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&sign);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->role(), QAccessible::StaticText);
  EXPECT_EQ(reader->text(QAccessible::Name), text);
  EXPECT_TRUE(reader->state().marqueed);
  EXPECT_EQ(reader->childCount(), 0);
  ASSERT_TRUE(sign.clear());
  EXPECT_FALSE(reader->state().marqueed);
  sign.setAccessibleName("Departures");
  EXPECT_EQ(reader->text(QAccessible::Name), "Departures");
}

}  // namespace
}  // namespace glimmer
