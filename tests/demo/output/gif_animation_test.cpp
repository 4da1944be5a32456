// SPDX-License-Identifier: MIT
// The GIF writer on its own: palettes, delays, and frames of any content, each drawn over the last, that a
// viewer plays back exactly.
#include "demo/output/gif_animation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/support/gif_reader.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;

struct BitsCase {
  int colours;
  int bits;
  std::optional<std::uint8_t> spare;  // the first entry without a colour
};
void PrintTo(const BitsCase& c, std::ostream* os) {
  *os << c.colours << " colours";
}

class PaletteBits : public ::testing::TestWithParam<BitsCase> {};

TEST_P(PaletteBits, AreTheSmallestTableThatHoldsTheColours) {
  std::vector<Pixel> colours;
  for (int i = 0; i < GetParam().colours; ++i)
    colours.push_back(MakePixel(static_cast<std::uint8_t>(i), 0, 0));
  const GifPalette palette(colours);
  EXPECT_EQ(palette.bits(), GetParam().bits);
  EXPECT_EQ(palette.IndexOf(colours.back()), GetParam().colours - 1);
  EXPECT_EQ(palette.spare(), GetParam().spare);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PaletteBits,
                         ::testing::Values(BitsCase{1, 1, 1}, BitsCase{2, 1, {}}, BitsCase{3, 2, 3},
                                           BitsCase{4, 2, {}}, BitsCase{5, 3, 5}, BitsCase{8, 3, {}},
                                           BitsCase{9, 4, 9}, BitsCase{129, 8, 129}, BitsCase{256, 8, {}}));

TEST(GifPalette, KeepsTheFirstOfEachColourInOrder) {
  const std::vector<Pixel> colours{testing::kGrey, testing::kBlack, testing::kGrey, testing::kWhite};
  const GifPalette palette(colours);
  EXPECT_EQ(palette.colours(), (std::vector<Pixel>{testing::kGrey, testing::kBlack, testing::kWhite}));
  EXPECT_EQ(palette.IndexOf(testing::kWhite), 2);
  EXPECT_EQ(palette.IndexOf(MakePixel(1, 2, 3)), std::nullopt);
}

struct DelayCase {
  std::int64_t start, end;
  int hundredths;
};
void PrintTo(const DelayCase& c, std::ostream* os) {
  *os << c.start << " to " << c.end << " ms";
}

class FrameDelay : public ::testing::TestWithParam<DelayCase> {};

TEST_P(FrameDelay, RoundsBothEndsToHundredths) {
  EXPECT_EQ(GifAnimation::Delay(GetParam().start, GetParam().end), GetParam().hundredths);
}

INSTANTIATE_TEST_SUITE_P(Times, FrameDelay,
                         ::testing::Values(DelayCase{50, 100, 5}, DelayCase{0, 45, 5},  // halves go up
                                           DelayCase{45, 90, 4}, DelayCase{44, 88, 5},
                                           DelayCase{1000, 1330, 33},
                                           DelayCase{0, 14, 2},  // 1 hundredth would play as 10 in browsers
                                           DelayCase{0, 0, 2}, DelayCase{0, 1'000'000, 65535}));

class GifAnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');  // parameterised tests are named Test/N
    path_ =
        fs::temp_directory_path() / ("glimmer-gif-test-" + std::to_string(::getpid()) + "-" + name + ".gif");
  }
  void TearDown() override { fs::remove(path_); }

  // Where an animation's bytes go: into bytes_.
  [[nodiscard]] GifSink Sink() {
    return [this](std::string_view bytes) {
      bytes_ += bytes;
      return true;
    };
  }

  // Ends the animation, writes its bytes and plays them back.
  [[nodiscard]] testing::GifPlayback Play(GifAnimation& animation, std::int64_t end) const {
    const auto finished = animation.Finish(end);
    EXPECT_TRUE(finished) << finished.error();
    return Playback();
  }
  [[nodiscard]] testing::GifPlayback Playback() const {
    std::ofstream(path_, std::ios::binary) << bytes_;
    auto gif = testing::ReadGif(path_.string());
    EXPECT_TRUE(gif);
    return gif.value_or(testing::GifPlayback{});
  }

  fs::path path_;
  std::string bytes_;
};

const std::vector<Pixel> kColours{testing::kBlack, testing::kGrey, testing::kWhite, testing::LitColour(0)};

// Frames in the first `colours` of kColours that change in random patches, with some repeated unchanged.
std::vector<Image> RandomFrames(int count, std::int32_t width, std::int32_t height, std::size_t colours) {
  std::mt19937 random(7);
  std::vector<Image> frames{Image(width, height, kColours[0])};
  for (int i = 1; i < count; ++i) {
    Image next = frames.back();
    if (i % 5 != 0) {
      const std::int32_t x = static_cast<std::int32_t>(random() % static_cast<unsigned>(width));
      const std::int32_t y = static_cast<std::int32_t>(random() % static_cast<unsigned>(height));
      for (std::int32_t dy = 0; dy < 3 && y + dy < height; ++dy)
        for (std::int32_t dx = 0; dx < 4 && x + dx < width; ++dx)
          next.at(x + dx, y + dy) = kColours[random() % colours];
    }
    frames.push_back(next);
  }
  return frames;
}

// Scales, and palettes of 4 colours (a full table: every pixel drawn) and of 3 (a table entry to spare
// for transparent pixels).
class GifAnimationScale : public GifAnimationTest,
                          public ::testing::WithParamInterface<std::tuple<int, std::size_t>> {};

TEST_P(GifAnimationScale, PlaysBackEveryFrameExactlyFromTheChangedRectangles) {
  const auto [scale, colours] = GetParam();
  const auto frames = RandomFrames(40, 23, 11, colours);
  const std::vector<Pixel> palette(kColours.begin(), kColours.begin() + static_cast<std::ptrdiff_t>(colours));
  GifAnimation animation(23, 11, GifPalette(palette), scale, true, Sink());
  for (std::size_t i = 0; i < frames.size(); ++i)
    ASSERT_TRUE(animation.Add(frames[i], static_cast<std::int64_t>(i) * 50));
  const auto gif = Play(animation, 2000);
  EXPECT_EQ(gif.width, 23 * scale);
  EXPECT_EQ(gif.height, 11 * scale);
  EXPECT_EQ(gif.loop_count, 0);
  ASSERT_EQ(gif.frames.size(), frames.size());
  std::size_t transparent = 0;  // frames with transparent pixels
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(testing::FirstDifference(gif.frames[i].shown, testing::Enlarged(frames[i], scale)), "") << i;
    if (i == 0) continue;
    // Every pixel not wholly inside the frame's rectangle is unchanged from the frame before.
    const auto& f = gif.frames[i];
    transparent += f.transparent >= 0 ? 1 : 0;
    for (std::int32_t y = 0; y < 11; ++y)
      for (std::int32_t x = 0; x < 23; ++x) {
        const bool inside = x * scale >= f.left && (x + 1) * scale <= f.left + f.width &&
                            y * scale >= f.top && (y + 1) * scale <= f.top + f.height;
        if (!inside) {
          ASSERT_EQ(frames[i].at(x, y), frames[i - 1].at(x, y)) << i << " at " << x << "," << y;
        }
      }
    // A tick that changed nothing keeps a frame of one pixel; a rectangle may be a few columns wider
    // than the change, but holds whole rows of enlarged pixels.
    if (frames[i] == frames[i - 1]) {
      EXPECT_EQ(f.width * f.height, 1) << i;
    } else {
      EXPECT_EQ(f.top % scale + f.height % scale, 0) << i;
    }
  }
  if (colours == 4) {
    EXPECT_EQ(transparent, 0u);
  } else {
    EXPECT_GT(transparent, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, GifAnimationScale,
                         ::testing::Combine(::testing::Values(1, 2, 5), ::testing::Values(4u, 3u)));

TEST_F(GifAnimationTest, TheLastFrameLastsUntilTheEnd) {
  GifAnimation animation(2, 2, GifPalette(kColours), 1, false, Sink());
  ASSERT_TRUE(animation.Add(Image(2, 2, testing::kBlack), 100));
  ASSERT_TRUE(animation.Add(Image(2, 2, testing::kWhite), 150));
  const auto gif = Play(animation, 400);
  ASSERT_EQ(gif.frames.size(), 2u);
  EXPECT_EQ(gif.frames[0].delay, 5);
  EXPECT_EQ(gif.frames[1].delay, 25);
  EXPECT_EQ(gif.loop_count, std::nullopt);
}

// Frames of random pixels, which code to some kilobytes each.
std::vector<Image> NoiseFrames(int count, std::int32_t width, std::int32_t height) {
  std::mt19937 random(5);
  std::vector<Image> frames(static_cast<std::size_t>(count), Image(width, height));
  for (Image& frame : frames)
    for (Pixel& p : frame.pixels)
      p = kColours[random() % kColours.size()];
  return frames;
}

// A long animation goes into the sink as it is coded: before the end, all but the frame that waits for its
// delay and less than one piece of 64 KiB has gone.
TEST_F(GifAnimationTest, StreamsItsFramesAsTheyAreCoded) {
  const auto frames = NoiseFrames(200, 200, 32);
  GifAnimation animation(200, 32, GifPalette(kColours), 1, true, Sink());
  std::size_t before_last = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    before_last = bytes_.size();
    ASSERT_TRUE(animation.Add(frames[i], static_cast<std::int64_t>(i) * 50));
  }
  const std::size_t before_end = bytes_.size();
  ASSERT_TRUE(animation.Finish(10000));
  EXPECT_GT(before_last, 3 * GifEncoder::kPiece);
  EXPECT_LT(bytes_.size() - before_end, GifEncoder::kPiece + 200 * 32);
  EXPECT_EQ(Playback().frames.size(), 200u);
}

TEST_F(GifAnimationTest, ASinkThatRefusesEndsTheAnimation) {
  int calls = 0;
  GifAnimation animation(100, 32, GifPalette(kColours), 1, true, [&calls](std::string_view) {
    ++calls;
    return false;
  });
  Expected<void, std::string> added;
  const auto frames = NoiseFrames(100, 100, 32);
  for (std::size_t i = 0; i < frames.size() && added; ++i)
    added = animation.Add(frames[i], static_cast<std::int64_t>(i) * 50);
  ASSERT_FALSE(added);
  EXPECT_NE(added.error().find("cannot write the GIF's frame"), std::string::npos) << added.error();
  EXPECT_FALSE(animation.Finish(5000));
  EXPECT_EQ(calls, 1);
}

TEST_F(GifAnimationTest, AColourOutsideThePaletteIsRefused) {
  GifAnimation animation(2, 2, GifPalette(kColours), 1, true, Sink());
  Image odd(2, 2, testing::kBlack);
  odd.at(1, 1) = MakePixel(1, 2, 3);
  const auto added = animation.Add(odd, 0);
  ASSERT_FALSE(added);
  EXPECT_EQ(added.error(), "a frame holds a colour outside the recording's palette");
}

TEST_F(GifAnimationTest, AFrameOfAnotherSizeIsRefused) {
  GifAnimation animation(2, 2, GifPalette(kColours), 1, true, Sink());
  EXPECT_FALSE(animation.Add(Image(3, 2, testing::kBlack), 0));
}

}  // namespace
}  // namespace glimmer
