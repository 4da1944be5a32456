// SPDX-License-Identifier: MIT
#include "fuzz/form_description_target.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "control/led.h"
#include "demo/form/form_file.h"
#include "demo/form/form_glimmer.h"
#include "fuzz/sign_invariants.h"
#include "host/base/expected.h"
#include "host/headless/headless_container.h"

namespace glimmer::fuzz {
namespace {

constexpr std::string_view kSource = "fuzzed.toml";
constexpr int kTicks = 3;

using Failed = Unexpected<std::string>;

// Equal values, where a NaN equals a NaN and zeros agree in sign.
bool SameValue(const PropertyValue& a, const PropertyValue& b) {
  const double* x = a.get_if<double>();
  const double* y = b.get_if<double>();
  if (x == nullptr || y == nullptr) return a == b;
  if (std::isnan(*x) || std::isnan(*y)) return std::isnan(*x) && std::isnan(*y);
  return *x == *y && std::signbit(*x) == std::signbit(*y);
}

// "" or the first setting in which the two differ.
std::string Difference(const FormDescription& a, const FormDescription& b) {
  if (a.caption != b.caption) return "caption";
  if (a.border != b.border) return "border_style";
  if (a.min_button != b.min_button || a.max_button != b.max_button) return "button";
  if (a.start_up_position != b.start_up_position) return "start_up_position";
  if (a.client_width != b.client_width || a.client_height != b.client_height) return "client area";
  const ControlDescription& c = a.led1;
  const ControlDescription& d = b.led1;
  if (c.class_name != d.class_name) return "class";
  if (c.left != d.left || c.top != d.top || c.width != d.width || c.height != d.height)
    return "place of LED1";
  if (c.glyphs != d.glyphs || c.upper_case != d.upper_case) return "glyphs of LED1";
  if (c.entries.size() != d.entries.size()) return "number of entries";
  for (std::size_t i = 0; i < c.entries.size(); ++i)
    if (c.entries[i].first != d.entries[i].first || !SameValue(c.entries[i].second, d.entries[i].second))
      return "entry " + c.entries[i].first;
  return "";
}

// The description as the writer writes it: entry keys in lower case, in the order of their bytes.
FormDescription AsWritten(FormDescription form) {
  for (auto& [key, value] : form.led1.entries)
    for (char& ch : key)
      if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
  std::stable_sort(form.led1.entries.begin(), form.led1.entries.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  return form;
}

std::string CheckRefusal(const DescriptionError& e, std::string_view text) {
  const std::string message = e.Message();
  if (e.source != kSource) return "the error names another file: " + message;
  if (e.what.empty()) return "the error says nothing: " + message;
  if (message.find('\n') != std::string::npos) return "the error takes more than a line: " + message;
  const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
  if (e.line < 0 || e.line > lines + 1 || (e.line > 0 && e.column < 1))
    return "the error's place is not in the text: " + message;
  return "";
}

// "" when `text` reads as `expected`.
std::string ReadsBackAs(const std::string& text, const FormDescription& expected, const std::string& what) {
  const auto again = ParseFormDescription(text, "written.toml");
  if (!again) return what + " does not read back: " + again.error().Message() + "\n" + text;
  if (std::string d = Difference(*again, AsWritten(expected)); !d.empty())
    return what + " reads back with another " + d + "\n" + text;
  return "";
}

struct Saved {
  FormDescription opened;
  std::string text;
};

// LED1 built from `form` as the program builds it, shown for a few ticks, closed and saved as --save saves
// it, with the sign's invariants holding all along and no object left alive at the end.
Expected<Saved, std::string> OpenAndSave(const FormDescription& form) {
  const gdi::LiveCounts baseline = gdi::Live();
  Saved saved;
  {
    HeadlessContainer host(LED::Class());
    const SignInvariants invariants(baseline);
    if (auto s = BuildLed1(host, form.led1, {}); !s)
      return Failed("building LED1: " + std::string(Describe(s.error())));
    const LED& led = host.control_as<LED>();
    if (auto s = Form_Load(host.control()); !s)
      return Failed("Form_Load: " + std::string(Describe(s.error())));
    for (int tick = 1; tick <= kTicks && host.RunTicks(1) == 1; ++tick)
      if (std::string d = invariants.Check(host, led); !d.empty())
        return Failed("tick " + std::to_string(tick) + ": " + d);
    std::int16_t cancel = 0;
    if (auto s = Form_Unload(host.control(), cancel); !s)
      return Failed("Form_Unload: " + std::string(Describe(s.error())));
    if (std::string d = invariants.CheckObjects(host, led); !d.empty())
      return Failed("after Form_Unload: " + d);
    MemoryPropertyBag bag;
    if (auto s = host.Save(bag); !s) return Failed("the save: " + std::string(Describe(s.error())));
    saved.opened = DescribeAsOpened(form, led, host.width_pixels(), host.height_pixels(), bag);
    saved.text = FormatFormDescription(saved.opened);
  }
  if (gdi::Live() != baseline) return Failed("objects left alive");
  return saved;
}

}  // namespace

std::string FuzzFormDescription(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto form = ParseFormDescription(text, kSource);
  if (!form) return CheckRefusal(form.error(), text);
  if (std::string d = ReadsBackAs(FormatFormDescription(*form), *form, "the description as written");
      !d.empty())
    return d;

  const auto saved = OpenAndSave(*form);
  if (!saved) return saved.error();
  if (std::string d = ReadsBackAs(saved->text, saved->opened, "the saved description"); !d.empty()) return d;
  // Opening the saved description and saving it again changes nothing.
  const auto reopened = OpenAndSave(*ParseFormDescription(saved->text, "saved.toml"));
  if (!reopened) return "the saved description: " + reopened.error();
  if (reopened->text != saved->text) return "saving the saved description changed it:\n" + reopened->text;
  return "";
}

}  // namespace glimmer::fuzz
