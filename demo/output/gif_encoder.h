// Writes an animated GIF89a into memory with giflib: the logical screen, one global colour table, the
// NETSCAPE2.0 block that makes viewers repeat the animation forever, and frames that each draw over a
// rectangle of the picture and stay in place under the next one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "demo/output/gif_palette.h"
#include "host/base/expected.h"

struct GifFileType;

namespace glimmer {

// A rectangle of palette indexes, row after row, placed at (left, top) of the picture and shown for
// `delay` hundredths of a second. Where it holds the index `transparent` (when it is not kOpaque), the
// picture below shows through.
struct GifFrame {
  static constexpr int kOpaque = -1;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indexes;
  int delay = 0;
  int transparent = kOpaque;
};

class GifEncoder {
 public:
  // A picture of width x height pixels (1 to 65535 each).
  GifEncoder(int width, int height, const GifPalette& palette, bool loop_forever);
  ~GifEncoder();
  GifEncoder(const GifEncoder&) = delete;
  GifEncoder& operator=(const GifEncoder&) = delete;

  // Each reports the first failure, for a message; after one the encoder adds nothing more.
  [[nodiscard]] Expected<void, std::string> Add(const GifFrame& frame);
  // Ends the file and hands over its bytes.
  [[nodiscard]] Expected<std::string, std::string> Finish();

 private:
  [[nodiscard]] bool Check(int giflib_result, const char* step);
  // The header, the colour table and the loop block; a failure is kept in error_.
  void Start(int width, int height, const GifPalette& palette, bool loop_forever);
  [[nodiscard]] bool PutLoopBlock();

  std::unique_ptr<std::string> bytes_ = std::make_unique<std::string>();  // giflib writes here
  GifFileType* gif_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int entries_ = 0;  // of the colour table
  std::string error_;
};

}  // namespace glimmer
