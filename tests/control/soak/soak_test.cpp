// SPDX-License-Identifier: MIT
// Soak: a long run of ticks in the headless container with writes of every property, resizes through the
// size rule, Clear/Show pairs and Terminate handlers that call Clear and Show, all at random moments.
// Throughout, the live objects stay exactly what the state needs (so they never grow), every pixel is a dot
// colour, the background or a ring colour, the display shows only the current scheme, and Terminate comes
// exactly on the ticks the pass arithmetic gives (tests/control/soak/pass_model.h).
//
// GLIMMER_SOAK_TICKS sets the length (20,000 by default; the test soak_full, which scripts/soak runs, sets
// 1,000,000) and GLIMMER_SOAK_SEED the seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "control/interface/led_members.h"
#include "tests/control/soak/pass_model.h"
#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"
#include "tests/support/report.h"

namespace glimmer::testing {
namespace {

std::int64_t EnvNumber(const char* name, std::int64_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::strtoll(text, nullptr, 10) : fallback;
}

bool IsOneOf(Pixel p, std::initializer_list<Pixel> allowed) {
  for (const Pixel a : allowed)
    if (p == a) return true;
  return false;
}

// The width the size rule gives for a host width: rounded (ties to even), then the next 3n + 2.
std::int32_t Snapped(double asked) {
  const auto w = static_cast<std::int32_t>(std::nearbyint(asked));
  return 3 * (w / 3) + 2;
}

enum class Handler { None, Clear, ClearShow, Show };

struct Counts {
  std::int64_t ticks = 0, actions = 0, passes = 0, timed = 0, closed_form = 0, untimed = 0;
  std::int64_t frames = 0, exact_frames = 0, value_writes = 0, long_texts = 0, resizes = 0, clear_show = 0,
               handler_clears = 0;
};

class Soak {
 public:
  explicit Soak(std::uint64_t seed) : random_(seed), rig_({.width = 251, .text = u"SOAK", .repeated = true}) {
    base_ = gdi::Live();
    text_length_ = 4;
    model_.ValueWritten(4);
    width_ = 251;
    rig_.container.on_event = [this](DispId event) {
      if (event != kTerminateEvent) return;
      if (handler_ == Handler::Clear || handler_ == Handler::ClearShow) (void)rig_.led.Clear();
      if (handler_ == Handler::ClearShow || handler_ == Handler::Show) (void)rig_.led.Show();
    };
  }

  void Run(std::int64_t ticks) {
    Show();
    while (counts_.ticks < ticks && !::testing::Test::HasFatalFailure()) {
      const bool can_tick = model_.state() == PassModel::State::Running && delay_ > 0;
      if (!can_tick || Chance(1, 150))
        Act(can_tick);
      else
        Tick(Chance(1, 8));
    }
  }

  [[nodiscard]] const Counts& counts() const { return counts_; }

 private:
  bool Chance(int in, int of) { return static_cast<int>(random_() % static_cast<std::uint64_t>(of)) < in; }
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(random_() % static_cast<std::uint64_t>(hi - lo + 1));
  }

  // --- Actions between ticks ---

  void Act(bool can_tick) {
    ++counts_.actions;
    // A stalled sign (Idle, Stopped or Delay 0) gets one of the actions that can start it more often.
    const std::int64_t kind = can_tick || Chance(1, 2) ? Between(0, 11) : Between(8, 11);
    switch (kind) {
      case 0:
      case 1:
        return WriteValue();
      case 2:
        return WriteColor();
      case 3:
        return WriteRepeated();
      case 4:
        return WriteBorderStyle();
      case 5:
        return WriteEnabled();
      case 6:
        return Resize();
      case 7:
        handler_ = static_cast<Handler>(Between(0, 3));
        return;
      case 8:
        return WriteDelay();
      case 9:
        ++counts_.clear_show;
        Clear();
        return Show();
      case 10:
        return Chance(1, 2) ? Show() : Clear();
      default:
        return WriteDelay(Between(1, 80));
    }
  }

  std::u16string RandomText(std::int64_t length) {
    static constexpr char16_t kAlphabet[] = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-: a.!\u00E9";
    std::u16string text(static_cast<std::size_t>(length), u' ');
    for (auto& ch : text)
      ch = kAlphabet[random_() % (std::size(kAlphabet) - 1)];
    return text;
  }

  void WriteValue() {
    std::int64_t length = Between(0, 12);
    if (Chance(1, 10)) length = 0;
    if (Chance(1, 25)) length = Between(100, 1820);
    if (Chance(1, 60)) length = Between(1821, 4000);
    if (length > 1820) ++counts_.long_texts;
    ++counts_.value_writes;
    ASSERT_TRUE(rig_.led.Value(RandomText(length)));
    model_.ValueWritten(length);
    text_length_ = length;
  }
  void WriteColor() {
    const auto color = static_cast<std::int32_t>(Between(-1, 3));
    ASSERT_TRUE(rig_.led.Color(color));
    if (color >= 0 && color <= 2) color_ = color;
  }
  void WriteRepeated() {
    repeated_ = Chance(2, 3);
    ASSERT_TRUE(rig_.led.Repeated(Boolean(repeated_)));
  }
  void WriteBorderStyle() {
    const auto style = static_cast<std::int32_t>(Between(-1, 2));
    ASSERT_TRUE(rig_.led.BorderStyle(style));
    if (style == 0 || style == 1) border_ = style;
  }
  void WriteEnabled() { ASSERT_TRUE(rig_.led.Enabled(Boolean(Chance(1, 2)))); }
  void WriteDelay(std::int64_t delay = -2) {
    if (delay == -2) delay = Chance(1, 4) ? Between(-1, 0) : Between(1, 100);
    ASSERT_TRUE(rig_.led.Delay(static_cast<std::int16_t>(delay)));
    if (delay >= 0) delay_ = delay;
  }
  void Resize() {
    ++counts_.resizes;
    double asked = static_cast<double>(Between(0, 600));
    if (Chance(1, 5)) asked += 0.5;
    ASSERT_TRUE(rig_.container.Resize(asked, static_cast<double>(Between(10, 100))));
    width_ = Snapped(asked);
    ASSERT_EQ(rig_.container.width_pixels(), width_);
    ASSERT_EQ(rig_.container.height_pixels(), 32);
    CheckObjects();
  }
  void Show() {
    ASSERT_TRUE(rig_.led.Show());
    if (model_.state() == PassModel::State::Idle) surface_width_ = width_;
    model_.Show(width_);
    CheckObjects();
  }
  void Clear() {
    ASSERT_TRUE(rig_.led.Clear());
    model_.Clear();
    CheckObjects();
  }

  // --- Ticks ---

  void Tick(bool at_a_random_moment) {
    const std::size_t events = rig_.container.events().size();
    // A random moment within the interval runs the due tick or none.
    const std::int64_t ran = at_a_random_moment ? (rig_.container.Advance(Between(0, delay_ - 1)),
                                                   static_cast<std::int64_t>(rig_.container.ticks() - ticks_))
                                                : rig_.Tick();
    ticks_ = rig_.container.ticks();
    if (ran == 0) return;
    ASSERT_EQ(ran, 1);
    ++counts_.ticks;
    const bool predicted = model_.Tick();
    const bool raised = rig_.container.events().size() > events;
    bool handled = false;
    if (model_.timed()) {
      ASSERT_EQ(raised, predicted) << "tick " << ticks_ << ", pass tick " << model_.pass_ticks() << ", L "
                                   << text_length_ << ", position " << model_.position();
    }
    if (raised) handled = EndOfPass();
    if (model_.timed() && text_length_ <= PassModel::kLongestTimedText) {
      ASSERT_EQ(rig_.led.renderer_state().ScrollX, model_.position()) << "tick " << ticks_;
    }
    CheckObjects();
    CheckFrame(raised, handled);
  }

  // Returns whether the handler changed the surface.
  bool EndOfPass() {
    ++counts_.passes;
    if (!model_.timed()) {
      ++counts_.untimed;
    } else {
      ++counts_.timed;
      if (model_.closed_form()) {
        ++counts_.closed_form;
        EXPECT_EQ(model_.pass_ticks(), model_.closed_form_ticks()) << "tick " << ticks_;
      }
    }
    model_.EndOfPass(repeated_, width_);
    if (handler_ == Handler::Clear || handler_ == Handler::ClearShow) {
      ++counts_.handler_clears;
      model_.Clear();
    }
    if ((handler_ == Handler::ClearShow || handler_ == Handler::Show) &&
        model_.state() == PassModel::State::Idle) {
      surface_width_ = width_;
      model_.Show(width_);
    }
    return handler_ == Handler::Clear || handler_ == Handler::ClearShow;
  }

  // --- Checks ---

  // Exactly the container's own objects, plus the surface while there is one; no brush outlives a tick.
  void CheckObjects() {
    const gdi::LiveCounts live = gdi::Live();
    const bool surface = model_.state() != PassModel::State::Idle;
    ASSERT_EQ(live.dcs, base_.dcs + surface) << "tick " << ticks_;
    ASSERT_EQ(live.bitmaps, base_.bitmaps + surface) << "tick " << ticks_;
    ASSERT_EQ(live.brushes, base_.brushes) << "tick " << ticks_;
    ASSERT_EQ(rig_.led.renderer_state().MemDC != 0, surface);
    ASSERT_EQ(rig_.container.timer_running(), model_.state() == PassModel::State::Running && delay_ > 0);
  }

  void CheckFrame(bool ended, bool handled) {
    ++counts_.frames;
    const Image frame = rig_.container.Frame();
    const Pixel lit = LitColour(color_), unlit = UnlitColour(color_);
    // Anywhere: a dot colour of some scheme (left behind by a wider frame before a shrink), the background
    // or a ring colour. Where this tick copied its frame: only the current scheme and the background.
    const std::int32_t copied_right = 2 + std::min(surface_width_, width_) - 4;
    for (std::int32_t y = 0; y < frame.height; ++y)
      for (std::int32_t x = 0; x < frame.width; ++x) {
        const Pixel p = frame.at(x, y);
        const bool copied = x >= 2 && x < copied_right && y >= 2 && y < 30;
        if (copied ? IsOneOf(p, {lit, unlit, kBlack})
                   : IsOneOf(p, {kBlack, kGrey, kWhite, LitColour(0), UnlitColour(0), LitColour(1),
                                 UnlitColour(1), LitColour(2), UnlitColour(2)}))
          continue;
        FAIL() << "tick " << ticks_ << ": pixel (" << x << ", " << y << ") is " << std::hex << p;
      }
    // Now and then, the whole frame against the independent picture.
    if (counts_.ticks % 17 != 0 || handled || border_ != 1 || surface_width_ != width_ ||
        text_length_ > PassModel::kLongestTimedText || !model_.timed())
      return;
    ++counts_.exact_frames;
    const Scene scene{.width = width_,
                      .text = rig_.led.Value(),
                      .color = color_,
                      .scroll_x = static_cast<std::int32_t>(model_.position()),
                      .draw_text = !ended};
    ASSERT_EQ(FirstDifference(frame, ExpectedFrame(scene)), "") << "tick " << ticks_;
  }

  std::mt19937_64 random_;
  LedRig rig_;
  PassModel model_;
  gdi::LiveCounts base_;
  Handler handler_ = Handler::None;
  std::int32_t width_ = 0;
  std::int32_t surface_width_ = 0;
  std::int32_t color_ = 1;
  std::int32_t border_ = 1;
  bool repeated_ = true;
  std::int64_t delay_ = 50;
  std::int64_t text_length_ = 0;
  std::int64_t ticks_ = 0;
  Counts counts_;
};

TEST(Soak, TicksWithWritesAtRandomMoments) {
  const std::int64_t ticks = EnvNumber("GLIMMER_SOAK_TICKS", 20'000);
  const auto seed = static_cast<std::uint64_t>(EnvNumber("GLIMMER_SOAK_SEED", 20'250'601));
  const gdi::LiveCounts before = gdi::Live();
  Counts c;
  {
    Soak soak(seed);
    soak.Run(ticks);
    c = soak.counts();
  }
  EXPECT_EQ(gdi::Live(), before);
  EXPECT_GE(c.ticks, ticks);
  // The run must have met what it is for, or it proves little.
  EXPECT_GT(c.timed, 0);
  EXPECT_GT(c.closed_form, 0);
  EXPECT_GT(c.handler_clears, 0);
  EXPECT_GT(c.clear_show, 0);
  EXPECT_GT(c.resizes, 0);
  Report("soak.txt", "soak seed " + std::to_string(seed) + ": " + std::to_string(c.ticks) + " ticks, " +
                         std::to_string(c.actions) + " actions (" + std::to_string(c.value_writes) +
                         " texts, " + std::to_string(c.long_texts) + " over 1820 characters, " +
                         std::to_string(c.resizes) + " resizes, " + std::to_string(c.clear_show) +
                         " Clear/Show pairs), " + std::to_string(c.passes) + " passes (" +
                         std::to_string(c.timed) + " timed, " + std::to_string(c.closed_form) +
                         " of them n + 6L, " + std::to_string(c.untimed) + " untimed), " +
                         std::to_string(c.handler_clears) + " handler Clears, " + std::to_string(c.frames) +
                         " frames checked, " + std::to_string(c.exact_frames) + " exactly");
}

}  // namespace
}  // namespace glimmer::testing
