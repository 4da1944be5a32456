// SPDX-License-Identifier: MIT
// The palette and the glyph table: layout, contents and the lookup.
#include <gtest/gtest.h>

#include "control/led.h"
#include "control/tables/table_faults.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

class TablesTest : public ::testing::Test {
 protected:
  HeadlessContainer container{LED::Class()};
  LED& led = container.control_as<LED>();
};

TEST_F(TablesTest, PaletteHoldsSixEntriesWithTheirStoredWidths) {
  const Palette& p = led.Palette();
  ASSERT_EQ(p.LowerBound(), 0);
  ASSERT_EQ(p.UpperBound(), 5);
  const std::int32_t values[] = {0x0000FF, 0x000077, 0x00FF00, 0x007700, 0x00FFFF, 0x007777};
  for (std::int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(p.Entry(i)->value, values[i]) << i;
    EXPECT_EQ(std::holds_alternative<std::int16_t>(p.elements()[static_cast<std::size_t>(i)]), i < 2) << i;
  }
  EXPECT_EQ(p.Entry(6).error(), Error::SubscriptOutOfRange);
  EXPECT_EQ(p.Entry(-1).error(), Error::SubscriptOutOfRange);
}

TEST_F(TablesTest, GlyphTableIsThirtyNineRecordsOfKeyAndCells) {
  const Glyphs& g = led.Glyphs();
  ASSERT_EQ(g.UpperBound(), 1403);
  const std::u16string keys = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-: ";
  int lit = 0, unlit = 0;
  for (std::int32_t i = 0; i <= 1403; ++i) {
    if (i % 36 == 0) {
      ASSERT_TRUE(std::holds_alternative<Glyphs::Key>(g.at(i))) << i;
      EXPECT_EQ(std::get<Glyphs::Key>(g.at(i)).ch, keys[static_cast<std::size_t>(i / 36)]);
      EXPECT_EQ(g.Cell(i).error(), Error::TypeMismatch);
    } else {
      const auto cell = g.Cell(i);
      ASSERT_TRUE(cell) << i;
      (*cell == 1 ? lit : unlit)++;
      EXPECT_TRUE(*cell == 0 || *cell == 1);
    }
  }
  EXPECT_EQ(lit, 547);
  EXPECT_EQ(unlit, 818);
  EXPECT_EQ(g.Cell(1404).error(), Error::SubscriptOutOfRange);
}

struct GlyphRow {
  char16_t key;
  std::int32_t row;
  const char* cells;
};
class GlyphRows : public TablesTest, public ::testing::WithParamInterface<GlyphRow> {};
TEST_P(GlyphRows, ReadAsDrawn) {
  const Glyphs& g = led.Glyphs();
  const std::int16_t s = g.GlyphStart(GetParam().key);
  ASSERT_GT(s, 0);
  for (std::int32_t c = 0; c < 5; ++c)
    EXPECT_EQ(*g.Cell(s + 5 * GetParam().row + c), GetParam().cells[c] == '#' ? 1 : 0) << c;
}
INSTANTIATE_TEST_SUITE_P(Samples, GlyphRows,
                         ::testing::Values(GlyphRow{u'8', 3, ".###."}, GlyphRow{u'0', 2, "#..##"},
                                           GlyphRow{u'0', 4, "##..#"}, GlyphRow{u'Q', 6, ".##.#"},
                                           GlyphRow{u'G', 4, "#.###"}, GlyphRow{u'-', 3, "#####"},
                                           GlyphRow{u':', 1, "..#.."}, GlyphRow{u'W', 6, ".#.#."},
                                           GlyphRow{u'J', 0, "..###"}));

TEST_F(TablesTest, GlyphStartIsTheFirstMatchingKeyOfALinearScanForEveryCharacter) {
  const Glyphs& g = led.Glyphs();
  for (std::uint32_t ch = 0; ch <= 0xFFFF; ++ch) {
    std::int16_t expected = -1;
    for (std::int32_t k = 0; k <= g.UpperBound(); k += 36)
      if (std::get<Glyphs::Key>(g.at(k)).ch == ch) {
        expected = static_cast<std::int16_t>(k + 1);
        break;
      }
    ASSERT_EQ(g.GlyphStart(static_cast<char16_t>(ch)), expected) << ch;
  }
  EXPECT_EQ(g.GlyphStart(u'8'), 289);
  EXPECT_EQ(g.GlyphStart(u' '), 1369);
  EXPECT_EQ(g.GlyphStart(u'a'), -1);
}

TEST_F(TablesTest, EveryInstanceHoldsTablesOfItsOwn) {
  HeadlessContainer other(LED::Class());
  const LED& second = other.control_as<LED>();
  EXPECT_NE(&second.Glyphs().at(0), &led.Glyphs().at(0));
  EXPECT_EQ(second.Glyphs().UpperBound(), led.Glyphs().UpperBound());
}

// The index of a table is shared by the controls whose tables are alike; a change of glyph set or casing on
// one gives it an index of its own and leaves the other's lookups as they were.
TEST_F(TablesTest, AlikeTablesShareOneIndexThatAChangeOnOneLeavesAlone) {
  HeadlessContainer other(LED::Class());
  LED& second = other.control_as<LED>();
  EXPECT_TRUE(second.Glyphs().SharesIndexWith(led.Glyphs()));

  ASSERT_TRUE(second.GlyphSet(GlyphSet::Latin1));
  EXPECT_FALSE(second.Glyphs().SharesIndexWith(led.Glyphs()));
  EXPECT_GT(second.Glyphs().GlyphStart(u'a'), 0);
  EXPECT_EQ(led.Glyphs().GlyphStart(u'a'), Glyphs::kNoGlyph);

  ASSERT_TRUE(led.UpperCase(true));
  EXPECT_EQ(led.Glyphs().GlyphStart(u'a'), led.Glyphs().GlyphStart(u'A'));
  EXPECT_NE(second.Glyphs().GlyphStart(u'a'), second.Glyphs().GlyphStart(u'A'));

  ASSERT_TRUE(second.GlyphSet(GlyphSet::Capitals));
  ASSERT_TRUE(second.UpperCase(true));
  EXPECT_TRUE(second.Glyphs().SharesIndexWith(led.Glyphs()));
}

TEST(TableAssembly, AFailureLeavesTheTablesBuiltBeforeIt) {
  table_faults::FailNextAssembly(table_faults::Table::Glyphs);
  HeadlessContainer glyphs_fail(LED::Class());
  ASSERT_EQ(glyphs_fail.callback_errors().size(), 1u);
  EXPECT_EQ(glyphs_fail.callback_errors()[0].error, Error::OutOfMemory);
  EXPECT_EQ(glyphs_fail.control_as<LED>().Palette().UpperBound(), 5);
  EXPECT_EQ(glyphs_fail.control_as<LED>().Glyphs().UpperBound(), -1);

  table_faults::FailNextAssembly(table_faults::Table::Palette);
  HeadlessContainer palette_fail(LED::Class());
  EXPECT_TRUE(palette_fail.control_as<LED>().Palette().empty());
  EXPECT_TRUE(palette_fail.control_as<LED>().Glyphs().empty());

  // Without tables the control still runs: every frame is background and the pass still ends on time.
  auto& led = palette_fail.control_as<LED>();
  ASSERT_TRUE(palette_fail.InitNew());
  ASSERT_TRUE(palette_fail.Resize(302, 32));
  ASSERT_TRUE(led.Value(u"AB"));
  ASSERT_TRUE(led.Show());
  palette_fail.RunTicks(112);
  ASSERT_EQ(palette_fail.events().size(), 1u);
  EXPECT_EQ(palette_fail.events()[0].tick, 112);
  EXPECT_EQ(palette_fail.Pixels().at(5, 5), MakePixel(0, 0, 0));
}

}  // namespace
}  // namespace glimmer
