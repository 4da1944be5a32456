// SPDX-License-Identifier: MIT
// glyph_sheet FILE.png [SCALE]: the whole Latin1 glyph set as the sign draws it, for the README. Each row is
// a sign of its own showing sixteen characters in code order (U+0020 to U+007E, then U+00A0 to U+00FF),
// stopped where its first character stands at the left edge; the rows are stacked and every pixel drawn
// as a SCALE x SCALE square (2 by default).
#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "control/led.h"
#include "demo/output/png_writer.h"
#include "demo/output/safe_file.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

constexpr int kPerRow = 16;
constexpr double kWidth = 3 + 18 * kPerRow + 3;  // one dot column either side; the size rule snaps it
constexpr std::int16_t kFirstCell = 3;           // where the first cell stops

// The rows of the sheet: sixteen characters each, the last row of ASCII without DEL.
std::vector<std::u16string> Rows() {
  std::vector<std::u16string> rows;
  for (char16_t first : {u'\u0020', u'\u00A0'})
    for (int r = 0; r < 6; ++r) {
      std::u16string row;
      for (int c = 0; c < kPerRow; ++c)
        if (const auto ch = static_cast<char16_t>(first + kPerRow * r + c); ch != 0x7F) row += ch;
      rows.push_back(row);
    }
  return rows;
}

// One sign showing `text`, scrolled until its first cell reaches kFirstCell.
Expected<Image, std::string> SignShowing(const std::u16string& text) {
  HeadlessContainer host(LED::Class());
  auto& led = host.control_as<LED>();
  if (!host.InitNew() || !host.Resize(kWidth, 32) || !led.GlyphSet(GlyphSet::Latin1) || !led.Value(text) ||
      !led.Color(1) || !led.Show())
    return Unexpected<std::string>("the sign could not be set up");
  while (led.renderer_state().ScrollX > kFirstCell)
    if (host.RunTicks(1) != 1) return Unexpected<std::string>("the sign's timer stopped");
  return host.Frame();
}

Image Stacked(const std::vector<Image>& rows, int scale) {
  Image sheet(rows[0].width * scale, static_cast<std::int32_t>(rows.size()) * rows[0].height * scale);
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (std::int32_t y = 0; y < sheet.height / static_cast<std::int32_t>(rows.size()); ++y)
      for (std::int32_t x = 0; x < sheet.width; ++x)
        sheet.at(x, static_cast<std::int32_t>(i) * rows[i].height * scale + y) =
            rows[i].at(x / scale, y / scale);
  return sheet;
}

int Run(int argc, char** argv) {
  int scale = 2;
  if (argc == 3) std::from_chars(argv[2], argv[2] + std::string_view(argv[2]).size(), scale);
  if ((argc != 2 && argc != 3) || scale < 1 || scale > 8) {
    std::cerr << "usage: glyph_sheet FILE.png [SCALE 1 to 8]\n";
    return 2;
  }
  std::vector<Image> rows;
  for (const auto& text : Rows()) {
    auto image = SignShowing(text);
    if (!image) {
      std::cerr << "glyph_sheet: " << image.error() << '\n';
      return 1;
    }
    rows.push_back(std::move(*image));
  }
  auto file = SafeFile::Open(argv[1]);
  if (!file) {
    std::cerr << "glyph_sheet: " << file.error() << '\n';
    return 1;
  }
  const auto written = WritePng(Stacked(rows, scale), *file);
  const auto done = file->Commit();
  if (!written || !done) {
    std::cerr << "glyph_sheet: cannot write " << argv[1] << ": " << (written ? done.error() : written.error())
              << '\n';
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace glimmer

int main(int argc, char** argv) {
  return glimmer::Run(argc, argv);
}
