// SPDX-License-Identifier: MIT
#include "host/automation/memory_property_bag.h"

#include <gtest/gtest.h>

namespace glimmer {
namespace {

TEST(MemoryPropertyBag, FindsKeysWithoutRegardToCase) {
  MemoryPropertyBag bag({{"color", std::int32_t{1}}, {"value", u"GLIMMER"}});
  EXPECT_EQ(bag.ReadProperty("Color", std::int16_t{0}), PropertyValue(std::int32_t{1}));
  EXPECT_EQ(bag.ReadProperty("VALUE", u""), PropertyValue(u"GLIMMER"));
  EXPECT_EQ(bag.ReadProperty("Delay", std::int16_t{50}), PropertyValue(std::int16_t{50}));
}

TEST(MemoryPropertyBag, LeavesOutValuesEqualToTheirDefaultWhateverTheWidth) {
  MemoryPropertyBag bag({{"BORDERSTYLE", std::int32_t{0}}});
  ASSERT_TRUE(bag.WriteProperty("BorderStyle", std::int32_t{1}, std::int16_t{1}));  // removes the old entry
  ASSERT_TRUE(bag.WriteProperty("Enabled", True, True));
  ASSERT_TRUE(bag.WriteProperty("Value", u"", u""));
  EXPECT_TRUE(bag.entries().empty());
  ASSERT_TRUE(bag.WriteProperty("Color", std::int32_t{2}, std::int16_t{0}));
  ASSERT_TRUE(
      bag.WriteProperty("color", std::int32_t{1}, std::int16_t{0}));  // replaces, keeps first spelling
  ASSERT_EQ(bag.entries().size(), 1u);
  EXPECT_EQ(bag.entries()[0].first, "Color");
  EXPECT_EQ(bag.entries()[0].second, PropertyValue(std::int32_t{1}));
  EXPECT_EQ(bag.writes().size(), 5u);
}

TEST(MemoryPropertyBag, InjectedFailuresHitTheirKeyOnly) {
  MemoryPropertyBag bag({{"Delay", std::int16_t{20}}});
  bag.FailRead("delay", Error::TypeMismatch);
  bag.FailWrite("COLOR");
  EXPECT_EQ(bag.ReadProperty("Delay", std::int16_t{50}).error(), Error::TypeMismatch);
  EXPECT_TRUE(bag.ReadProperty("Color", std::int16_t{0}));
  EXPECT_EQ(bag.WriteProperty("Color", std::int32_t{2}, std::int16_t{0}).error(), Error::OperationFailed);
  EXPECT_TRUE(bag.WriteProperty("Delay", std::int16_t{30}, std::int16_t{50}));
}

}  // namespace
}  // namespace glimmer
