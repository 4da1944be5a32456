// SPDX-License-Identifier: MIT
// Writes an animated GIF89a with giflib: the logical screen, one global colour table, the NETSCAPE2.0
// block that makes viewers repeat the animation forever, and frames that each draw over a rectangle of the
// picture and stay in place under the next one. The bytes go to a sink as they are coded, in pieces of
// 64 KiB, so that the memory it takes does not grow with the animation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

// Takes the next bytes of the GIF; false when it cannot, which ends the GIF with an error.
using GifSink = std::function<bool(std::string_view bytes)>;

class GifEncoder {
 public:
  static constexpr std::size_t kPiece = 64 * 1024;

  // A picture of width x height pixels (1 to 65535 each).
  GifEncoder(int width, int height, const GifPalette& palette, bool loop_forever, GifSink sink);
  ~GifEncoder();
  GifEncoder(const GifEncoder&) = delete;
  GifEncoder& operator=(const GifEncoder&) = delete;

  // Each reports the first failure, for a message; after one the encoder adds nothing more.
  [[nodiscard]] Expected<void, std::string> Add(const GifFrame& frame);
  // Ends the file: its last bytes go to the sink.
  [[nodiscard]] Expected<void, std::string> Finish();

 private:
  // What giflib writes into, at a place that stays put.
  struct Output {
    GifSink sink;
    std::string buffer;
    bool failed = false;  // the sink refused bytes; nothing more is given to it
    // Hands the buffer to the sink; false once it has refused.
    [[nodiscard]] bool Flush();
  };
  // giflib's output function: gathers its bytes into pieces of kPiece for the sink. Fewer bytes taken than
  // giflib gave mean a failed write, which giflib reports.
  static int Append(GifFileType* gif, const unsigned char* data, int length);

  [[nodiscard]] bool Check(int giflib_result, const char* step);
  // The header, the colour table and the loop block; a failure is kept in error_.
  void Start(int width, int height, const GifPalette& palette, bool loop_forever);
  [[nodiscard]] bool PutLoopBlock();

  std::unique_ptr<Output> output_;
  GifFileType* gif_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int entries_ = 0;  // of the colour table
  std::string error_;
};

}  // namespace glimmer
