// SPDX-License-Identifier: MIT
#include <glimmer/qt/led_sign_properties.h>

#include <array>
#include <span>

#include "control/interface/led_members.h"
#include "host/automation/dispatch.h"
#include "host/automation/property_bag.h"

namespace glimmer::qt {
namespace {

struct Name {
  const char* qt;
  std::string_view member;
};

// The one table of Qt names: properties (in Property order), then methods and events.
constexpr std::array<Name, LedSignProperties::kPropertyCount> kProperties = {{
    {"borderStyle", "BorderStyle"},
    {"color", "Color"},
    {"delay", "Delay"},
    {"enabled", "Enabled"},
    {"repeated", "Repeated"},
    {"text", "Value"},
    {"glyphs", "GlyphSet"},
    {"upperCase", "UpperCase"},
}};
// The host's choices among them, which are not members of the control: their own descriptions.
struct Choice {
  const char* qt;
  const char* description;
  const char* category;
};
constexpr std::array<Choice, 2> kChoices = {{
    {"glyphs", "Returns/sets the set of glyphs the contents are drawn with.", "Appearance"},
    {"upperCase", "Returns/sets a value that determines whether small letters are drawn as capitals.",
     "Appearance"},
}};

const Choice* FindChoice(QAnyStringView qt_name) {
  for (const Choice& c : kChoices)
    if (QAnyStringView(c.qt) == qt_name) return &c;
  return nullptr;
}
constexpr std::array<Name, 2> kMethods = {{{"start", "Show"}, {"clear", "Clear"}}};
constexpr std::array<Name, 3> kEvents = {{
    {"clicked", "Click"},
    {"doubleClicked", "DblClick"},
    {"passFinished", "Terminate"},
}};

const Name* Find(std::span<const Name> names, QAnyStringView qt_name) {
  for (const Name& n : names)
    if (QAnyStringView(n.qt) == qt_name) return &n;
  return nullptr;
}

const MemberInfo* FindMember(std::string_view member) {
  for (const MemberInfo& m : LedMembers())
    if (m.name == member) return &m;
  return nullptr;
}

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

const char* LedSignProperties::qtName(Property property) {
  return kProperties[static_cast<std::size_t>(property)].qt;
}

std::string_view LedSignProperties::memberName(Property property) {
  return kProperties[static_cast<std::size_t>(property)].member;
}

std::optional<LedSignProperties::Property> LedSignProperties::fromQtName(QAnyStringView qt_name) {
  if (const Name* n = Find(kProperties, qt_name)) return static_cast<Property>(n - kProperties.data());
  return std::nullopt;
}

std::optional<LedSignProperties::Property> LedSignProperties::fromMemberName(std::string_view member) {
  for (std::size_t i = 0; i < kProperties.size(); ++i)
    if (KeysEqual(kProperties[i].member, member)) return static_cast<Property>(i);
  return std::nullopt;
}

QString LedSignProperties::description(QAnyStringView qt_name) {
  if (const Choice* c = FindChoice(qt_name)) return QString::fromUtf8(c->description);
  const Name* n = Find(kProperties, qt_name);
  if (n == nullptr) n = Find(kMethods, qt_name);
  if (n != nullptr) {
    const MemberInfo* m = FindMember(n->member);
    return m != nullptr ? FromView(m->description) : QString();
  }
  if (const Name* e = Find(kEvents, qt_name))
    for (const EventInfo& event : LedEvents())
      if (event.name == e->member) return FromView(event.description);
  return {};
}

QString LedSignProperties::category(QAnyStringView qt_name) {
  if (const Choice* c = FindChoice(qt_name)) return QString::fromUtf8(c->category);
  const Name* n = Find(kProperties, qt_name);
  if (n == nullptr) return {};
  const MemberInfo* m = FindMember(n->member);
  if (m == nullptr) return {};
  // "<property page>;<category>": the page is empty for every property of the sign.
  const std::string_view category = m->category;
  const auto semicolon = category.find(';');
  return FromView(semicolon == std::string_view::npos ? category : category.substr(semicolon + 1));
}

}  // namespace glimmer::qt
