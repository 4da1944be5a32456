// SPDX-License-Identifier: MIT
// The glyph sets: every glyph of each set drawn against the independent picture, the capitals the same in
// every set, small letters as capitals, and a change of set shown from the next tick.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"

namespace glimmer::testing {
namespace {

constexpr std::u16string_view kCapitals = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-: ";

// The keys of a set in table order.
std::u16string KeysOf(const Glyphs& glyphs) {
  std::u16string keys;
  for (std::int32_t k = 0; k <= glyphs.UpperBound(); k += Glyphs::kRecord)
    keys += std::get<Glyphs::Key>(glyphs.at(k)).ch;
  return keys;
}

// The printable characters of ASCII, and with `latin1` those of the Latin-1 supplement too.
std::set<char16_t> Printable(bool latin1) {
  std::set<char16_t> keys;
  for (char16_t ch = 0x20; ch <= 0x7E; ++ch)
    keys.insert(ch);
  for (char16_t ch = 0xA0; latin1 && ch <= 0xFF; ++ch)
    keys.insert(ch);
  return keys;
}

// A sign wide enough for `text`, shown and scrolled until its first cell is at the left edge: the frame
// then holds every glyph of the text whole.
Image Showing(const std::u16string& text, GlyphSet set, bool upper_case = false) {
  LedRig rig({.width = 18.0 * static_cast<double>(text.size()) + 8, .text = text});
  EXPECT_TRUE(rig.led.GlyphSet(set));
  EXPECT_TRUE(rig.led.UpperCase(upper_case));
  EXPECT_TRUE(rig.led.Show());
  while (rig.led.renderer_state().ScrollX > 3)
    rig.Tick();
  return rig.container.Frame();
}

// What Showing must show: its scroll stops at 1, 2 or 3 as the width falls.
Scene SceneOf(const Image& frame, std::u16string text, GlyphSet set) {
  return {.width = frame.width,
          .text = std::move(text),
          .scroll_x = 1 + (frame.width - 4 - 1) % 3,
          .glyphs = set};
}

struct SetCase {
  GlyphSet set;
  std::size_t glyphs;
  std::set<char16_t> keys;
};

class GlyphSets : public ::testing::TestWithParam<SetCase> {};

TEST_P(GlyphSets, HoldTheirCharactersAfterTheCapitals) {
  LedRig rig;
  ASSERT_TRUE(rig.led.GlyphSet(GetParam().set));
  const std::u16string keys = KeysOf(rig.led.Glyphs());
  ASSERT_EQ(keys.size(), GetParam().glyphs);
  EXPECT_EQ(keys.substr(0, kCapitals.size()), kCapitals);
  EXPECT_EQ(std::set<char16_t>(keys.begin(), keys.end()).size(), keys.size()) << "a key repeats";
  if (!GetParam().keys.empty()) {
    EXPECT_EQ(std::set<char16_t>(keys.begin(), keys.end()), GetParam().keys);
  }
}

TEST_P(GlyphSets, DrawEveryGlyphAsTheFontHasIt) {
  LedRig rig;
  ASSERT_TRUE(rig.led.GlyphSet(GetParam().set));
  const std::u16string keys = KeysOf(rig.led.Glyphs());
  const Image frame = Showing(keys, GetParam().set);
  EXPECT_EQ(FirstDifference(frame, ExpectedFrame(SceneOf(frame, keys, GetParam().set))), "");
}

TEST_P(GlyphSets, DrawTheCapitalsAsTheControlsOwnTable) {
  const std::u16string capitals(kCapitals);
  const Image frame = Showing(capitals, GetParam().set);
  EXPECT_EQ(frame, Showing(capitals, GlyphSet::Capitals));
  EXPECT_EQ(FirstDifference(frame, ExpectedFrame(SceneOf(frame, capitals, GlyphSet::Capitals))), "");
}

INSTANTIATE_TEST_SUITE_P(Sets, GlyphSets,
                         ::testing::Values(SetCase{GlyphSet::Capitals, 39, {}},
                                           SetCase{GlyphSet::Ascii, 95, Printable(false)},
                                           SetCase{GlyphSet::Latin1, 191, Printable(true)}));

struct CaseFolding {
  GlyphSet set;
  std::u16string text;
  std::u16string shown;  // as drawn without folding
};

class UpperCase : public ::testing::TestWithParam<CaseFolding> {};

TEST_P(UpperCase, DrawsSmallLettersWithTheirCapitals) {
  const CaseFolding& c = GetParam();
  EXPECT_EQ(Showing(c.text, c.set, true), Showing(c.shown, c.set));
}

INSTANTIATE_TEST_SUITE_P(Texts, UpperCase,
                         ::testing::Values(CaseFolding{GlyphSet::Capitals, u"Hello, 12:30", u"HELLO, 12:30"},
                                           CaseFolding{GlyphSet::Ascii, u"az{}~", u"AZ{}~"},
                                           // ß and ÿ have no capital in Latin-1; ÷ is no letter.
                                           CaseFolding{GlyphSet::Latin1,
                                                       u"gr\u00FC\u00DFe \u00E0\u00FE\u00FF\u00F7",
                                                       u"GR\u00DC\u00DFE \u00C0\u00DE\u00FF\u00F7"}));

TEST(GlyphSetChange, ShowsFromTheNextTickWithoutMovingTheText) {
  LedRig rig({.width = 251, .text = u"Ab\u00E9"});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(40);
  ASSERT_TRUE(rig.led.GlyphSet(GlyphSet::Latin1));
  EXPECT_EQ(rig.led.GlyphSet(), GlyphSet::Latin1);
  rig.Tick();
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 251,
                                                                  .text = u"Ab\u00E9",
                                                                  .scroll_x = 251 - 4 - 3 * 41,
                                                                  .glyphs = GlyphSet::Latin1})),
            "");
  // A value that names no set is ignored.
  ASSERT_TRUE(rig.led.GlyphSet(static_cast<GlyphSet>(3)));
  EXPECT_EQ(rig.led.GlyphSet(), GlyphSet::Latin1);
}

}  // namespace
}  // namespace glimmer::testing
