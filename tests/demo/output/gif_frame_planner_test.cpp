// SPDX-License-Identifier: MIT
// How frames are planned: the model of giflib's coder counts exactly the bytes giflib writes, the chooser
// only ever swaps unchanged pixels for transparent ones, and the planner's frames hold every change and are
// never larger than the smallest rectangle drawn whole. (That viewers show them exactly is for the
// playback tests, gif_animation_test and record_test.)
#include "demo/output/gif_frame_planner.h"

#include <gtest/gtest.h>

#include <random>

#include "demo/output/lzw_choice.h"
#include "demo/output/lzw_model.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

// `count` distinct colours.
GifPalette Colours(int count) {
  std::vector<Pixel> colours;
  for (int i = 0; i < count; ++i)
    colours.push_back(MakePixel(static_cast<std::uint8_t>(i), 0, 0));
  return GifPalette(colours);
}

// What giflib writes for one frame's pixels: the file, less its header, screen, colour table, graphics
// control block, image descriptor and trailer.
std::size_t GiflibBytes(const std::vector<std::uint8_t>& pixels, int width, const GifPalette& palette) {
  const int height = static_cast<int>(pixels.size()) / width;
  std::size_t file = 0;
  GifEncoder encoder(width, height, palette, false, [&file](std::string_view bytes) {
    file += bytes.size();
    return true;
  });
  EXPECT_TRUE(encoder.Add(GifFrame{.width = width, .height = height, .indexes = pixels}));
  EXPECT_TRUE(encoder.Finish());
  return file - (6 + 7 + 3 * (std::size_t{1} << palette.bits()) + 8 + 10 + 1);
}

struct CodingCase {
  int colours, width, height;
  int run;  // pixels of one colour in a row before a random next one
};
void PrintTo(const CodingCase& c, std::ostream* os) {
  *os << c.colours << " colours, " << c.width << " x " << c.height << ", runs of " << c.run;
}

class LzwModelCoding : public ::testing::TestWithParam<CodingCase> {};

TEST_P(LzwModelCoding, CountsTheBytesGiflibWrites) {
  const CodingCase& c = GetParam();
  std::mt19937 random(11);
  std::vector<std::uint8_t> pixels;
  while (pixels.size() < static_cast<std::size_t>(c.width * c.height))
    pixels.insert(pixels.end(), static_cast<std::size_t>(c.run),
                  static_cast<std::uint8_t>(random() % static_cast<unsigned>(c.colours)));
  pixels.resize(static_cast<std::size_t>(c.width * c.height));
  const GifPalette palette = Colours(c.colours);
  EXPECT_EQ(LzwModel::Bytes(pixels, palette.bits()), GiflibBytes(pixels, c.width, palette));
}

INSTANTIATE_TEST_SUITE_P(Frames, LzwModelCoding,
                         ::testing::Values(CodingCase{2, 1, 1, 1}, CodingCase{2, 7, 3, 1},
                                           CodingCase{3, 40, 20, 3}, CodingCase{5, 251, 32, 2},
                                           CodingCase{8, 100, 60, 1},
                                           // Enough codes to fill the table: giflib starts it over.
                                           CodingCase{5, 300, 200, 1}, CodingCase{16, 200, 100, 2},
                                           CodingCase{256, 64, 64, 1},
                                           // Long runs make long strings and few codes.
                                           CodingCase{4, 500, 40, 50}));

// Two frames of the demo sign, a tick apart, as palette indexes, drawn `scale` times larger.
struct SignTick {
  GifPalette palette{std::vector<Pixel>{testing::kBlack, testing::LitColour(1), testing::UnlitColour(1),
                                        testing::kGrey, testing::kWhite}};
  std::vector<std::uint8_t> shown, next;
  GifBox changed{251, 32, 0, 0};

  explicit SignTick(std::int32_t scroll_x) {
    shown = Indexes(testing::ExpectedFrame({.text = u"GLIMMER", .scroll_x = scroll_x + 3}));
    next = Indexes(testing::ExpectedFrame({.text = u"GLIMMER", .scroll_x = scroll_x}));
    for (std::int32_t y = 0; y < 32; ++y)
      for (std::int32_t x = 0; x < 251; ++x)
        if (shown[static_cast<std::size_t>(y * 251 + x)] != next[static_cast<std::size_t>(y * 251 + x)])
          changed = {std::min(changed.left, x), std::min(changed.top, y), std::max(changed.right, x + 1),
                     std::max(changed.bottom, y + 1)};
  }
  [[nodiscard]] std::vector<std::uint8_t> Indexes(const Image& image) const {
    std::vector<std::uint8_t> indexes;
    for (const Pixel p : image.pixels)
      indexes.push_back(palette.IndexOf(p).value());
    return indexes;
  }
  [[nodiscard]] GifPictures Pictures(int scale) const {
    return {.shown = shown, .next = next, .width = 251, .height = 32, .scale = scale};
  }
};

TEST(ChooseForLzw, LeavesOnlyUnchangedPixelsTransparentAndCodesSmallerThanDrawn) {
  const SignTick tick(97);
  std::vector<std::uint8_t> unchanged(tick.next.size());
  for (std::size_t i = 0; i < unchanged.size(); ++i)
    unchanged[i] = tick.next[i] == tick.shown[i] ? 1 : 0;
  const LzwChoice choice = ChooseForLzw(tick.next, unchanged, 5, tick.palette.bits());
  ASSERT_EQ(choice.pixels.size(), tick.next.size());
  std::size_t transparent = 0;
  for (std::size_t i = 0; i < choice.pixels.size(); ++i) {
    if (choice.pixels[i] == tick.next[i]) continue;
    ASSERT_EQ(choice.pixels[i], 5) << i;
    ASSERT_EQ(unchanged[i], 1) << i;
    ++transparent;
  }
  EXPECT_GT(transparent, 0u);
  EXPECT_EQ(choice.bytes, LzwModel::Bytes(choice.pixels, tick.palette.bits()));
  EXPECT_LT(choice.bytes, LzwModel::Bytes(tick.next, tick.palette.bits()));
}

class PlannedFrame : public ::testing::TestWithParam<int> {};

TEST_P(PlannedFrame, CoversTheChangeAndIsNeverLargerThanTheChangeDrawnWhole) {
  const int scale = GetParam();
  std::size_t planned_bytes = 0, drawn_bytes = 0;
  for (std::int32_t scroll = 241; scroll > -130; scroll -= 3 * 7) {
    const SignTick tick(scroll);
    const GifPictures pictures = tick.Pictures(scale);
    const GifFramePlanner planner(pictures, tick.changed, tick.palette.bits());
    const GifFrame drawn = planner.Plan(std::nullopt);
    EXPECT_EQ(drawn.transparent, GifFrame::kOpaque);
    EXPECT_EQ(drawn.left, tick.changed.left * scale);
    EXPECT_EQ(drawn.width, (tick.changed.right - tick.changed.left) * scale);
    const GifFrame frame = planner.Plan(tick.palette.spare());
    EXPECT_LE(frame.left, drawn.left);
    EXPECT_GE(frame.left + frame.width, drawn.left + drawn.width);
    EXPECT_EQ(frame.top, drawn.top);
    EXPECT_EQ(frame.height, drawn.height);
    const std::size_t bytes = LzwModel::Bytes(frame.indexes, tick.palette.bits());
    const std::size_t drawn_size = LzwModel::Bytes(drawn.indexes, tick.palette.bits());
    EXPECT_LE(bytes, drawn_size) << scroll;
    planned_bytes += bytes;
    drawn_bytes += drawn_size;
  }
  // Over a pass the planned frames are some percent smaller.
  EXPECT_LT(planned_bytes * 100, drawn_bytes * 97)
      << planned_bytes << " bytes planned, " << drawn_bytes << " drawn";
}

INSTANTIATE_TEST_SUITE_P(Scales, PlannedFrame, ::testing::Values(1, 2, 3));

}  // namespace
}  // namespace glimmer
