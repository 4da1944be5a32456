// SPDX-License-Identifier: MIT
// Properties, defaults, the restore and the save, and ApplySettings.
#include <gtest/gtest.h>

#include <random>

#include "control/led.h"
#include "host/automation/memory_property_bag.h"
#include "host/headless/headless_container.h"
#include "tests/support/test_access.h"

namespace glimmer {
namespace {

class PropertiesTest : public ::testing::Test {
 protected:
  HeadlessContainer container{LED::Class()};
  LED& led = container.control_as<LED>();

  [[nodiscard]] std::int16_t RingStyle(std::int16_t index) {
    return container.shape("ShapeBorder", index)->border_style();
  }
  [[nodiscard]] std::int32_t Interval() { return container.timer("TimerLED")->interval(); }
};

TEST_F(PropertiesTest, ACreatedInstanceHoldsZeroValuesUntilInitialised) {
  EXPECT_EQ(led.BorderStyle(), 0);
  EXPECT_EQ(led.Delay(), 0);
  EXPECT_EQ(led.Enabled(), False);
  EXPECT_EQ(Interval(), 50);  // the design's setting until ApplySettings runs
}

TEST_F(PropertiesTest, NewInstanceGetsTheDefaultsAndAppliesThemWithoutPropertyChanged) {
  ASSERT_TRUE(container.InitNew());
  EXPECT_EQ(led.BorderStyle(), 1);
  EXPECT_EQ(led.Color(), 0);
  EXPECT_EQ(led.Delay(), 50);
  EXPECT_EQ(led.Enabled(), True);
  EXPECT_EQ(led.Repeated(), False);
  EXPECT_EQ(led.Value(), u"");
  EXPECT_EQ(RingStyle(0), 1);
  EXPECT_EQ(RingStyle(1), 1);
  EXPECT_EQ(Interval(), 50);
  EXPECT_TRUE(container.enabled());
  EXPECT_TRUE(container.property_changes().empty());
}

struct Ignored {
  const char* name;
  std::function<Status(LED&)> write;
};
class IgnoredWrites : public PropertiesTest, public ::testing::WithParamInterface<Ignored> {};
TEST_P(IgnoredWrites, ReportSuccessAndChangeNothing) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(GetParam().write(led));
  EXPECT_EQ(led.BorderStyle(), 1);
  EXPECT_EQ(led.Color(), 0);
  EXPECT_EQ(led.Delay(), 50);
  EXPECT_TRUE(container.property_changes().empty());
  EXPECT_EQ(RingStyle(0), 1);
  EXPECT_EQ(Interval(), 50);
}
INSTANTIATE_TEST_SUITE_P(
    OutOfRange, IgnoredWrites,
    ::testing::Values(Ignored{"BorderStyle2", [](LED& l) { return l.BorderStyle(2); }},
                      Ignored{"BorderStyleMinus1", [](LED& l) { return l.BorderStyle(-1); }},
                      Ignored{"BorderStyleMin", [](LED& l) { return l.BorderStyle(INT32_MIN); }},
                      Ignored{"Color3", [](LED& l) { return l.Color(3); }},
                      Ignored{"ColorMinus1", [](LED& l) { return l.Color(-1); }},
                      Ignored{"DelayMinus1", [](LED& l) { return l.Delay(-1); }},
                      Ignored{"DelayMin", [](LED& l) { return l.Delay(-32768); }}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(PropertiesTest, AcceptedWritesStoreNotifyAndApplyEvenWhenUnchanged) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(led.BorderStyle(0));
  EXPECT_EQ(RingStyle(0), 0);
  EXPECT_EQ(RingStyle(1), 0);
  ASSERT_TRUE(led.BorderStyle(1));
  EXPECT_EQ(RingStyle(1), 1);
  ASSERT_TRUE(led.Delay(0));
  EXPECT_EQ(Interval(), 0);
  ASSERT_TRUE(led.Delay(32767));
  EXPECT_EQ(Interval(), 32767);
  ASSERT_TRUE(led.Enabled(False));
  EXPECT_FALSE(container.enabled());
  ASSERT_TRUE(led.Color(2));
  ASSERT_TRUE(led.Color(2));
  ASSERT_TRUE(led.Repeated(True));
  ASSERT_TRUE(led.Value(u"X"));
  EXPECT_EQ(container.property_changes(),
            (std::vector<std::string>{"BorderStyle", "BorderStyle", "Delay", "Delay", "Enabled", "Color",
                                      "Color", "Repeated", "Value"}));
}

TEST_F(PropertiesTest, AWriteOfColourAlsoReappliesTheContainerValues) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.shape("ShapeBorder", 0)->BorderStyle(0));  // changed behind the control's back
  ASSERT_TRUE(led.Color(1));
  EXPECT_EQ(RingStyle(0), 1);
}

TEST_F(PropertiesTest, FailuresDuringAWriteAreReturnedWithTheFieldAlreadyStored) {
  ASSERT_TRUE(container.InitNew());
  TestAccess::faults(container).Fail(Operation::PropertyChanged);
  EXPECT_EQ(led.Color(2).error(), Error::OperationFailed);
  EXPECT_EQ(led.Color(), 2);
  TestAccess::faults(container).Fail(Operation::TimerInterval);
  EXPECT_EQ(led.BorderStyle(0).error(), Error::OperationFailed);
  EXPECT_EQ(led.BorderStyle(), 0);
  EXPECT_EQ(RingStyle(1), 0);  // the steps before the failing one took effect
}

TEST_F(PropertiesTest, ReadingValueGivesACopy) {
  ASSERT_TRUE(led.Value(u"ABC"));
  std::u16string copy = led.Value();
  copy[0] = u'Z';
  EXPECT_EQ(led.Value(), u"ABC");
  std::u16string source = u"DEF";
  ASSERT_TRUE(led.Value(source));
  source[0] = u'Q';
  EXPECT_EQ(led.Value(), u"DEF");
}

TEST_F(PropertiesTest, TheControlReadsAndAssignsAsItsValue) {
  ASSERT_TRUE(led = u"HELLO");
  const std::u16string text = led;
  EXPECT_EQ(text, u"HELLO");
}

TEST_F(PropertiesTest, RestoringAnEmptyBagGivesTheDefaults) {
  MemoryPropertyBag bag;
  ASSERT_TRUE(container.Load(bag));
  EXPECT_EQ(led.BorderStyle(), 1);
  EXPECT_EQ(led.Delay(), 50);
  EXPECT_EQ(led.Enabled(), True);
  EXPECT_EQ(led.Repeated(), False);
  EXPECT_TRUE(container.property_changes().empty());
}

TEST_F(PropertiesTest, RestoringTheDemoEntriesFindsThemWhateverTheCase) {
  MemoryPropertyBag bag({{"_extentx", std::int32_t{6641}},
                         {"_extenty", std::int32_t{847}},
                         {"color", std::int32_t{1}},
                         {"repeated", True},
                         {"value", u"GLIMMER"}});
  ASSERT_TRUE(container.Load(bag));
  EXPECT_EQ(led.Color(), 1);
  EXPECT_EQ(led.Repeated(), True);
  EXPECT_EQ(led.Value(), u"GLIMMER");
  EXPECT_EQ(led.BorderStyle(), 1);
  EXPECT_EQ(led.Delay(), 50);
  EXPECT_EQ(led.Enabled(), True);
}

TEST_F(PropertiesTest, AKeyThatCannotBeConvertedIsSkippedAndKeepsItsValue) {
  MemoryPropertyBag bag({{"Delay", std::int32_t{40000}},
                         {"Color", std::int32_t{2}},
                         {"Repeated", u"maybe"},
                         {"BorderStyle", u"7"},
                         {"Value", std::int32_t{42}}});
  ASSERT_TRUE(container.Load(bag));
  EXPECT_EQ(led.Delay(), 0);         // a fresh instance's value, not the default
  EXPECT_EQ(led.Repeated(), False);  // idem
  EXPECT_EQ(led.Color(), 2);
  EXPECT_EQ(led.Value(), u"42");
  EXPECT_EQ(led.BorderStyle(), 7);  // restored values are not range-tested...
  EXPECT_EQ(RingStyle(0), 1);       // ...and the rings refuse 7, which ends ApplySettings quietly
  EXPECT_EQ(Interval(), 50);        // so the interval was never set
  EXPECT_TRUE(container.callback_errors().empty());
}

TEST_F(PropertiesTest, RestoredOutOfRangeValuesAreTakenUnchanged) {
  MemoryPropertyBag bag({{"Delay", std::int32_t{40000}}, {"Color", std::int32_t{5}}});
  ASSERT_TRUE(container.Load(bag));
  EXPECT_EQ(led.Color(), 5);
  EXPECT_EQ(Interval(), 0);  // Delay stayed 0, and ApplySettings ran
}

TEST_F(PropertiesTest, AFailingReadSkipsOnlyItsKey) {
  MemoryPropertyBag bag({{"Color", std::int32_t{2}}, {"Value", u"OK"}});
  bag.FailRead("color");
  ASSERT_TRUE(container.Load(bag));
  EXPECT_EQ(led.Color(), 0);
  EXPECT_EQ(led.Value(), u"OK");
  EXPECT_EQ(led.BorderStyle(), 1);
}

TEST_F(PropertiesTest, SavingHandsAllSixKeysWithTheirDefaults) {
  ASSERT_TRUE(container.InitNew());
  MemoryPropertyBag bag;
  ASSERT_TRUE(container.Save(bag));
  ASSERT_EQ(bag.writes().size(), 6u);
  const char* keys[] = {"BorderStyle", "Color", "Delay", "Enabled", "Repeated", "Value"};
  const PropertyValue defaults[] = {std::int16_t{1}, std::int16_t{0}, std::int16_t{50}, True, False, u""};
  const ValueKind kinds[] = {ValueKind::Int32,   ValueKind::Int32,   ValueKind::Int16,
                             ValueKind::Boolean, ValueKind::Boolean, ValueKind::Text};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(bag.writes()[i].key, keys[i]);
    EXPECT_EQ(bag.writes()[i].default_value, defaults[i]);
    EXPECT_EQ(bag.writes()[i].value.kind(), kinds[i]);
  }
  EXPECT_TRUE(bag.entries().empty());  // all at their defaults
}

TEST_F(PropertiesTest, SaveStopsAtTheFirstFailingWrite) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(led.Color(2));
  ASSERT_TRUE(led.Value(u"Z"));
  MemoryPropertyBag bag;
  bag.FailWrite("Delay", Error::OutOfMemory);
  EXPECT_EQ(container.Save(bag).error(), Error::OutOfMemory);
  EXPECT_EQ(bag.writes().size(), 3u);
  EXPECT_TRUE(bag.Get("Color"));
  EXPECT_FALSE(bag.Get("Value"));
}

TEST(PropertyRoundTrip, SaveThenRestoreGivesEveryValueBack) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 200; ++round) {
    HeadlessContainer a(LED::Class());
    LED& from = a.control_as<LED>();
    ASSERT_TRUE(a.InitNew());
    std::u16string text;
    for (int i = std::uniform_int_distribution(0, 12)(random); i > 0; --i)
      text += static_cast<char16_t>(std::uniform_int_distribution(1, 0xFFFF)(random));
    ASSERT_TRUE(from.BorderStyle(std::uniform_int_distribution(0, 1)(random)));
    ASSERT_TRUE(from.Color(std::uniform_int_distribution(0, 2)(random)));
    ASSERT_TRUE(from.Delay(static_cast<std::int16_t>(std::uniform_int_distribution(0, 32767)(random))));
    ASSERT_TRUE(from.Enabled(Boolean(random() & 1)));
    ASSERT_TRUE(from.Repeated(Boolean(random() & 1)));
    ASSERT_TRUE(from.Value(text));
    MemoryPropertyBag bag;
    ASSERT_TRUE(a.Save(bag));

    HeadlessContainer b(LED::Class());
    LED& to = b.control_as<LED>();
    ASSERT_TRUE(b.Load(bag));
    EXPECT_EQ(to.BorderStyle(), from.BorderStyle());
    EXPECT_EQ(to.Color(), from.Color());
    EXPECT_EQ(to.Delay(), from.Delay());
    EXPECT_EQ(to.Enabled(), from.Enabled());
    EXPECT_EQ(to.Repeated(), from.Repeated());
    EXPECT_EQ(to.Value(), from.Value());
  }
}

TEST_F(PropertiesTest, WritingValueWhileRunningDoesNotRestartTheScroll) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.Site());
  ASSERT_TRUE(led.Show());
  container.RunTicks(10);
  const std::int16_t x = led.renderer_state().ScrollX;
  ASSERT_TRUE(led.Value(u"NEW"));
  EXPECT_EQ(led.renderer_state().ScrollX, x);
  container.RunTicks(1);
  EXPECT_EQ(led.renderer_state().ScrollX, x - 3);
}

TEST_F(PropertiesTest, DelayChangesTheTickPeriodAtOnce) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.Site());
  ASSERT_TRUE(led.Show());
  container.Advance(100);
  EXPECT_EQ(container.ticks(), 2);
  ASSERT_TRUE(led.Delay(10));
  container.Advance(100);
  EXPECT_EQ(container.ticks(), 12);
  ASSERT_TRUE(led.Delay(0));  // a timer with interval 0 fires nothing
  container.Advance(1000);
  EXPECT_EQ(container.ticks(), 12);
}

TEST_F(PropertiesTest, NothingRaisesClickOrDblClick) {
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.Site());
  ASSERT_TRUE(led.Value(u"A"));
  ASSERT_TRUE(led.Repeated(True));
  ASSERT_TRUE(led.Show());
  container.RunTicks(500);
  ASSERT_FALSE(container.events().empty());
  for (const auto& e : container.events())
    EXPECT_EQ(e.event, 3);
}

}  // namespace
}  // namespace glimmer
