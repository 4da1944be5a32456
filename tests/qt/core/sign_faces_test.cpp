// SPDX-License-Identifier: MIT
// The rules the LedSign widget and the QML item share through their core, checked on both faces: a face
// deleted inside its own handlers, values written by name that are not exactly integers, widths beyond
// the widest sign, stop, start and restart, and the keyboard click.
#include <glimmer/qt/led_sign.h>
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

#include "qt/core/sign_core.h"
#include "qt/quick/led_sign_item.h"
#include "qt/widget/led_sign_p.h"

namespace glimmer {
namespace qt {

class LedSignItemProbe {
 public:
  static SignCore& Core(LedSignItem& item) { return *item.core_; }
};

}  // namespace qt
namespace {

using qt::LedSign;
using qt::LedSignItem;

qt::SignCore& Core(LedSign& sign) {
  return qt::LedSignPrivate::Core(sign);
}
qt::SignCore& Core(LedSignItem& item) {
  return qt::LedSignItemProbe::Core(item);
}
void GiveWidth(LedSign& sign, int width) {
  sign.resize(width, sign.height());
}
void GiveWidth(LedSignItem& item, int width) {
  item.setWidth(width);
}

template <class Face>
class SignFaces : public ::testing::Test {};
using Faces = ::testing::Types<LedSign, LedSignItem>;
TYPED_TEST_SUITE(SignFaces, Faces);

// A Qt developer deletes widgets in slots: a sign deleted in its own passFinished(), whether the pass ends
// on its timer or through advance(), or in a NOTIFY handler, is gone and nothing of it is used afterwards
// (the sanitizer build reports any use after free).
TYPED_TEST(SignFaces, MayBeDeletedInsideItsOwnHandlers) {
  for (const bool on_timer : {false, true}) {
    auto* face = new TypeParam;
    const QPointer<QObject> alive(face);
    face->setText("A");
    face->setDelay(1);
    QObject::connect(face, &TypeParam::passFinished, [face] { delete face; });
    ASSERT_TRUE(face->start());
    if (on_timer)
      EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, 10000));
    else
      for (int step = 0; alive && step < 1000; ++step)
        face->advance();
    EXPECT_TRUE(alive.isNull()) << (on_timer ? "on the timer" : "through advance()");
  }
  auto* face = new TypeParam;
  const QPointer<QObject> alive(face);
  QObject::connect(face, &TypeParam::textChanged, [face] { delete face; });
  face->setText("GONE");
  EXPECT_TRUE(alive.isNull()) << "in textChanged()";
}

// setProperty with a value that is not exactly an integer of 32 bits is refused, as an out-of-range value
// is: the property keeps its value and nothing is notified, and so is a text or a truth value that Qt would
// convert. An integral double is a number like any other.
TYPED_TEST(SignFaces, RefusesValuesThatAreNotExactlyIntegers) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* property;
    QVariant value;
    int expected;
  } rows[] = {
      {"delay", nan, 50},
      {"delay", 1e300, 50},
      {"delay", 1.5, 50},
      {"delay", QVariant::fromValue(qint64{1} << 40), 50},
      {"delay", QVariant::fromValue(qint64{4294967336}), 50},
      {"delay", QVariant::fromValue(quint64{1} << 63), 50},
      {"delay", "20.5", 50},
      {"delay", "75", 50},
      {"delay", true, 50},
      {"borderStyle", false, 1},
      {"borderStyle", QVariant::fromValue(qint64{1} << 32), 1},
      {"borderStyle", 0.5, 1},
      {"delay", 20.0, 20},
      {"borderStyle", QVariant::fromValue(qint64{0}), 0},
  };
  for (const auto& row : rows) {
    TypeParam face;
    const QSignalSpy delay(&face, &TypeParam::delayChanged);
    const QSignalSpy border(&face, &TypeParam::borderStyleChanged);
    face.setProperty(row.property, row.value);
    EXPECT_EQ(face.property(row.property).toInt(), row.expected)
        << row.property << " <- " << row.value.toString().toStdString();
    const bool changed = row.expected != (std::string_view(row.property) == "delay" ? 50 : 1);
    EXPECT_EQ(delay.count() + border.count(), changed ? 1 : 0) << row.property;
  }
}

// A width beyond the widest sign the size rule allows snaps to it, so the sign keeps its right-hand rings.
TYPED_TEST(SignFaces, WidthsBeyondTheWidestSignSnapToIt) {
  for (const int width : {20000, 40000, 1'000'000'000}) {
    TypeParam face;
    GiveWidth(face, width);
    ASSERT_TRUE(face.start());  // a hidden sign takes the size it was given when it starts
    EXPECT_EQ(Core(face).width_pixels(), qt::QtContainer::kWidestSign) << width;
  }
}

// The frame after `steps` steps of a new sign of the same face that shows "AB" from the right edge.
template <class Face>
Image FreshFrame(int steps) {
  Face fresh;
  fresh.setText("AB");
  EXPECT_TRUE(fresh.start());
  for (int i = 0; i < steps; ++i)
    EXPECT_TRUE(fresh.advance());
  return Core(fresh).Frame();
}

// Playback: from a sign that has made 5 steps (or finished a pass that does not repeat), an action, then
// one step: where the text stands, against a new sign that made `expected_steps` steps; scrolling and its
// NOTIFY along the way.
TYPED_TEST(SignFaces, StopsGoesOnAndRestarts) {
  enum class Before { Scrolling, Stopped, Finished };
  const struct {
    const char* name;
    Before before;
    bool (TypeParam::*action)();
    int expected_steps;
    int notices;  // scrollingChanged during the action
  } rows[] = {
      {"stop, start", Before::Stopped, &TypeParam::start, 6, 1},
      {"start while scrolling", Before::Scrolling, &TypeParam::start, 6, 0},
      {"restart while scrolling", Before::Scrolling, &TypeParam::restart, 1, 0},
      {"stop, restart", Before::Stopped, &TypeParam::restart, 1, 1},
      {"start after a finished pass", Before::Finished, &TypeParam::start, 1, 1},
      {"restart after a finished pass", Before::Finished, &TypeParam::restart, 1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TypeParam face;
    face.setText("AB");
    ASSERT_TRUE(face.start());
    const QSignalSpy finished(&face, &TypeParam::passFinished);
    for (int i = 0; i < (row.before == Before::Finished ? 1000 : 5) && finished.isEmpty(); ++i)
      ASSERT_TRUE(face.advance());
    if (row.before == Before::Stopped) {
      const Image frame = Core(face).Frame();
      const QSignalSpy stopped(&face, &TypeParam::scrollingChanged);
      ASSERT_TRUE(face.stop());
      EXPECT_FALSE(face.isScrolling());
      EXPECT_EQ(stopped.count(), 1);
      EXPECT_FALSE(face.advance());
      EXPECT_FALSE(face.stop());
      EXPECT_EQ(Core(face).Frame(), frame) << "stop() keeps the frame";
    }
    EXPECT_EQ(face.isScrolling(), row.before == Before::Scrolling);
    const QSignalSpy notices(&face, &TypeParam::scrollingChanged);
    ASSERT_TRUE((face.*row.action)());
    EXPECT_TRUE(face.isScrolling());
    EXPECT_EQ(notices.count(), row.notices);
    ASSERT_TRUE(face.advance());
    EXPECT_EQ(Core(face).Frame(), FreshFrame<TypeParam>(row.expected_steps));
  }
}

// With the keyboard focus, Space, Enter and Return click the sign; other keys and held keys do not.
TYPED_TEST(SignFaces, SpaceAndEnterClick) {
  TypeParam face;
  const QSignalSpy clicked(&face, &TypeParam::clicked);
  for (const int key : {Qt::Key_Space, Qt::Key_Enter, Qt::Key_Return, Qt::Key_A}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&face, &press);
  }
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(&face, &held);
  EXPECT_EQ(clicked.count(), 3);
}

}  // namespace
}  // namespace glimmer
