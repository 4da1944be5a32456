// SPDX-License-Identifier: MIT
// The late-bound interface: the member table and calls by identifier and by name.
#include <gtest/gtest.h>

#include "control/interface/led_members.h"
#include "control/led.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

class InterfaceTest : public ::testing::Test {
 protected:
  InterfaceTest() {
    EXPECT_TRUE(container.InitNew());
    EXPECT_TRUE(container.Site());
  }
  HeadlessContainer container{LED::Class()};
  LED& led = container.control_as<LED>();
  Dispatch& dispatch = led;
};

TEST_F(InterfaceTest, MemberTableListsEveryMemberInSlotOrder) {
  struct Row {
    const char* name;
    DispId id;
    MemberKind kind;
    ValueKind type;
    const char* description;
    const char* category;
  };
  const Row expected[] = {
      {"BorderStyle", 0x68030004, MemberKind::Property, ValueKind::Int32,
       "Returns/sets the border style for an object.", ";Appearance"},
      {"Color", 0x68030003, MemberKind::Property, ValueKind::Int32, "Returns/sets the color of the contents.",
       ";Appearance"},
      {"Delay", 0x68030002, MemberKind::Property, ValueKind::Int16,
       "Returns/sets the display delay of the contents.", ";Misc"},
      {"Enabled", 0x68030001, MemberKind::Property, ValueKind::Boolean,
       "Returns/sets a value that determines whether an object can respond to user-generated events.",
       ";Behavior"},
      {"Repeated", 0x68030000, MemberKind::Property, ValueKind::Boolean,
       "Returns/sets a value that determines whether display of the contents is repeated.", ";Misc"},
      {"Value", 0, MemberKind::Property, ValueKind::Text, "Returns/sets the value of an object.", ";Misc"},
      {"Clear", 0x6003000F, MemberKind::Method, ValueKind::Empty, "Clears the contents of the control.", ""},
      {"Show", 0x60030010, MemberKind::Method, ValueKind::Empty, "Shows the contents of the control.", ""},
  };
  const auto members = dispatch.Members();
  ASSERT_EQ(members.size(), std::size(expected));
  for (std::size_t i = 0; i < members.size(); ++i) {
    EXPECT_EQ(members[i].name, expected[i].name);
    EXPECT_EQ(members[i].id, expected[i].id) << expected[i].name;
    EXPECT_EQ(members[i].kind, expected[i].kind) << expected[i].name;
    EXPECT_EQ(members[i].type, expected[i].type) << expected[i].name;
    EXPECT_EQ(members[i].description, expected[i].description);
    EXPECT_EQ(members[i].category, expected[i].category);
  }
  const auto events = dispatch.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].name, "Click");
  EXPECT_EQ(events[0].id, 1);
  EXPECT_EQ(events[1].name, "DblClick");
  EXPECT_EQ(events[2].name, "Terminate");
  EXPECT_EQ(events[2].id, 3);
  EXPECT_EQ(events[2].description, "Occurs when the animation in the control has terminated.");
}

TEST_F(InterfaceTest, PropertiesAreReadAndWrittenByIdentifier) {
  const PropertyValue two[] = {std::int32_t{2}};
  ASSERT_TRUE(dispatch.Invoke(0x68030003, InvokeKind::PropertyPut, two));
  EXPECT_EQ(led.Color(), 2);
  EXPECT_EQ(*dispatch.Invoke(0x68030003, InvokeKind::PropertyGet, {}), PropertyValue(std::int32_t{2}));
  EXPECT_EQ(*dispatch.Invoke(0x68030002, InvokeKind::PropertyGet, {}), PropertyValue(std::int16_t{50}));
  EXPECT_EQ(*dispatch.Invoke(0x68030001, InvokeKind::PropertyGet, {}), PropertyValue(True));
  const PropertyValue text[] = {u"LATE"};
  ASSERT_TRUE(dispatch.Invoke(kDispIdValue, InvokeKind::PropertyPut, text));
  EXPECT_EQ(led.Value(), u"LATE");
  const PropertyValue seven[] = {std::int32_t{7}};
  ASSERT_TRUE(
      dispatch.Invoke(0x68030003, InvokeKind::PropertyPut, seven));  // ignored, as any write out of range
  EXPECT_EQ(led.Color(), 2);
  const PropertyValue numeric_text[] = {u"1"};
  ASSERT_TRUE(dispatch.Invoke(0x68030000, InvokeKind::PropertyPut, numeric_text));
  EXPECT_EQ(led.Repeated(), True);
}

TEST_F(InterfaceTest, MethodsAreCalledByIdentifierAndByNameInAnyCase) {
  ASSERT_TRUE(dispatch.Invoke(kShowId, InvokeKind::Method, {}));
  EXPECT_TRUE(container.timer_running());
  ASSERT_TRUE(dispatch.Invoke("cLEAR", InvokeKind::Method, {}));
  EXPECT_FALSE(container.timer_running());
  EXPECT_EQ(dispatch.GetIDOfName("delay"), 0x68030002);
  EXPECT_EQ(dispatch.GetIDOfName("Blink").error(), Error::MemberNotFound);
}

struct BadCall {
  const char* name;
  DispId id;
  InvokeKind kind;
  std::vector<PropertyValue> args;
  Error error;
};
class BadCalls : public InterfaceTest, public ::testing::WithParamInterface<BadCall> {};
TEST_P(BadCalls, FailWithAClearError) {
  const BadCall& c = GetParam();
  EXPECT_EQ(dispatch.Invoke(c.id, c.kind, c.args).error(), c.error);
  EXPECT_EQ(led.Delay(), 50);
  EXPECT_EQ(led.Color(), 0);
}
INSTANTIATE_TEST_SUITE_P(
    Table, BadCalls,
    ::testing::Values(
        BadCall{"UnknownId", 0x68030005, InvokeKind::PropertyGet, {}, Error::MemberNotFound},
        BadCall{"ShowWithArgument", kShowId, InvokeKind::Method, {std::int32_t{1}}, Error::WrongArguments},
        BadCall{"ShowAsPut", kShowId, InvokeKind::PropertyPut, {std::int32_t{1}}, Error::WrongArguments},
        BadCall{"PutWithoutValue", 0x68030002, InvokeKind::PropertyPut, {}, Error::WrongArguments},
        BadCall{
            "GetWithArgument", 0x68030002, InvokeKind::PropertyGet, {std::int32_t{1}}, Error::WrongArguments},
        BadCall{"DelayTooBig", 0x68030002, InvokeKind::PropertyPut, {std::int32_t{40000}}, Error::Overflow},
        BadCall{"ColorNotANumber", 0x68030003, InvokeKind::PropertyPut, {u"green"}, Error::TypeMismatch}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace glimmer
