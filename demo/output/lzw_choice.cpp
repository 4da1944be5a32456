// SPDX-License-Identifier: MIT
#include "demo/output/lzw_choice.h"

#include <algorithm>
#include <array>

#include "demo/output/lzw_model.h"

namespace glimmer {
namespace {

// Strings of the table visited to judge one value: enough to see past the next few free pixels, few
// enough that a wide recording stays quick.
constexpr int kLookahead = 96;

class Chooser {
 public:
  Chooser(const std::vector<std::uint8_t>& pixels, const std::vector<std::uint8_t>& free,
          std::uint8_t transparent, const LzwModel& model)
      : pixels_(pixels), free_(free), transparent_(transparent), model_(model) {}

  // The value for pixel `at`, whose string the coder is about to extend or end.
  [[nodiscard]] std::uint8_t Choose(std::size_t at) const {
    if (free_[at] == 0) return pixels_[at];
    const std::uint8_t colour = pixels_[at];
    return Score(colour, at) > Score(transparent_, at) ? colour : transparent_;
  }

 private:
  // Going on with the current string beats starting a new one; then the longer the strings of the table
  // ahead, the better.
  [[nodiscard]] int Score(std::uint8_t value, std::size_t at) const {
    static constexpr int kGoesOn = 1 << 20;
    int budget = kLookahead;
    const std::uint16_t current = model_.current();
    if (current != LzwModel::kNoCode)
      if (const std::uint16_t next = model_.Next(current, value); next != LzwModel::kNoCode)
        return kGoesOn + Reach(next, at + 1, budget);
    return Reach(LzwModel::Single(value), at + 1, budget);
  }

  // How many of the pixels from `at` on the table can add to the string `code`.
  [[nodiscard]] int Reach(std::uint16_t code, std::size_t at, int& budget) const {
    if (at >= pixels_.size()) return 0;
    const std::array<std::uint8_t, 2> values{pixels_[at], transparent_};
    const std::size_t count = free_[at] != 0 ? 2 : 1;
    int best = 0;
    for (std::size_t i = 0; i < count && budget > 0; ++i) {
      const std::uint16_t next = model_.Next(code, values[i]);
      if (next == LzwModel::kNoCode) continue;
      --budget;
      best = std::max(best, 1 + Reach(next, at + 1, budget));
    }
    return best;
  }

  const std::vector<std::uint8_t>& pixels_;
  const std::vector<std::uint8_t>& free_;
  std::uint8_t transparent_;
  const LzwModel& model_;
};

}  // namespace

LzwChoice ChooseForLzw(const std::vector<std::uint8_t>& pixels, const std::vector<std::uint8_t>& free,
                       std::uint8_t transparent, int palette_bits) {
  LzwModel model(palette_bits);
  const Chooser chooser(pixels, free, transparent, model);
  LzwChoice choice{.pixels = std::vector<std::uint8_t>(pixels.size())};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    choice.pixels[i] = chooser.Choose(i);
    model.Put(choice.pixels[i]);
  }
  choice.bytes = model.Finish();
  return choice;
}

}  // namespace glimmer
