// SPDX-License-Identifier: MIT
#include "demo/output/gif_encoder.h"

#include <gif_lib.h>

#include <array>
#include <memory>

namespace glimmer {
namespace {

static_assert(GifFrame::kOpaque == NO_TRANSPARENT_COLOR);

struct MapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

std::unique_ptr<ColorMapObject, MapDeleter> MakeMap(const GifPalette& palette) {
  const int entries = 1 << palette.bits();
  std::vector<GifColorType> table(static_cast<std::size_t>(entries));
  const auto& colours = palette.colours();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const Pixel p = colours.empty() ? MakePixel(0, 0, 0) : i < colours.size() ? colours[i] : colours[0];
    table[i] = GifColorType{PixelRed(p), PixelGreen(p), PixelBlue(p)};
  }
  return std::unique_ptr<ColorMapObject, MapDeleter>(GifMakeMapObject(entries, table.data()));
}

}  // namespace

int GifEncoder::Append(GifFileType* gif, const GifByteType* data, int length) {
  auto& output = *static_cast<Output*>(gif->UserData);
  if (output.failed) return 0;
  output.buffer.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  if (output.buffer.size() >= kPiece && !output.Flush()) return 0;
  return length;
}

bool GifEncoder::Output::Flush() {
  if (!failed && !buffer.empty() && !sink(buffer)) failed = true;
  buffer.clear();
  return !failed;
}

GifEncoder::GifEncoder(int width, int height, const GifPalette& palette, bool loop_forever, GifSink sink)
    : output_(std::make_unique<Output>(Output{.sink = std::move(sink)})),
      width_(width),
      height_(height),
      entries_(1 << palette.bits()) {
  output_->buffer.reserve(kPiece + 256);
  int error = 0;
  gif_ = EGifOpen(output_.get(), &Append, &error);
  if (gif_ == nullptr) {
    error_ = std::string("cannot start a GIF: ") + GifErrorString(error);
    return;
  }
  Start(width, height, palette, loop_forever);
}

GifEncoder::~GifEncoder() {
  // An unfinished GIF is dropped: giflib's state is freed and its last bytes go nowhere.
  output_->failed = true;
  if (gif_ != nullptr) (void)EGifCloseFile(gif_, nullptr);
}

bool GifEncoder::Check(int giflib_result, const char* step) {
  if (giflib_result == GIF_OK) return true;
  if (error_.empty())
    error_ = std::string("cannot write the GIF's ") + step + ": " + GifErrorString(gif_->Error);
  return false;
}

void GifEncoder::Start(int width, int height, const GifPalette& palette, bool loop_forever) {
  if (width < 1 || height < 1 || width > 65535 || height > 65535) {
    error_ = "a GIF is 1 to 65535 pixels wide and high, not " + std::to_string(width) + " x " +
             std::to_string(height);
    return;
  }
  const auto map = MakeMap(palette);
  if (!map) {
    error_ = "cannot make the GIF's colour table";
    return;
  }
  // Frame delays and the loop block are GIF89a features.
  EGifSetGifVersion(gif_, true);
  // Background index 0: the first colour, the sign's own background.
  if (Check(EGifPutScreenDesc(gif_, width, height, palette.bits(), 0, map.get()), "screen") && loop_forever)
    (void)PutLoopBlock();
}

// The application extension that browsers and viewers read as "repeat forever" (a loop count of 0).
bool GifEncoder::PutLoopBlock() {
  static constexpr std::array<GifByteType, 11> kName{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static constexpr std::array<GifByteType, 3> kForever{1, 0, 0};
  return Check(EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE), "loop block") &&
         Check(EGifPutExtensionBlock(gif_, kName.size(), kName.data()), "loop block") &&
         Check(EGifPutExtensionBlock(gif_, kForever.size(), kForever.data()), "loop block") &&
         Check(EGifPutExtensionTrailer(gif_), "loop block");
}

Expected<void, std::string> GifEncoder::Add(const GifFrame& frame) {
  if (!error_.empty()) return Unexpected<std::string>(error_);
  if (gif_ == nullptr) return Unexpected<std::string>("the GIF is already ended");
  if (frame.width < 1 || frame.height < 1 || frame.left < 0 || frame.top < 0 ||
      frame.left + frame.width > width_ || frame.top + frame.height > height_ ||
      frame.indexes.size() != static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height))
    return Unexpected<std::string>(error_ = "a frame lies outside the picture");
  if (frame.transparent != GifFrame::kOpaque && (frame.transparent < 0 || frame.transparent >= entries_))
    return Unexpected<std::string>(error_ = "a frame's transparent index is outside the colour table");
  // Each frame stays in place and the next one draws over it, except where it is transparent.
  const GraphicsControlBlock control{.DisposalMode = DISPOSE_DO_NOT,
                                     .UserInputFlag = false,
                                     .DelayTime = frame.delay,
                                     .TransparentColor = frame.transparent};
  std::array<GifByteType, 4> extension{};
  EGifGCBToExtension(&control, extension.data());
  bool ok =
      Check(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, extension.size(), extension.data()), "frame") &&
      Check(EGifPutImageDesc(gif_, frame.left, frame.top, frame.width, frame.height, false, nullptr),
            "frame");
  // giflib takes rows by non-const pointer but only reads them.
  auto* row = const_cast<GifPixelType*>(frame.indexes.data());
  for (int y = 0; ok && y < frame.height; ++y, row += frame.width)
    ok = Check(EGifPutLine(gif_, row, frame.width), "frame");
  if (!ok) return Unexpected<std::string>(error_);
  return {};
}

Expected<void, std::string> GifEncoder::Finish() {
  if (!error_.empty()) return Unexpected<std::string>(error_);
  if (gif_ == nullptr) return Unexpected<std::string>("the GIF is already ended");
  int error = 0;
  // Closing writes the trailer and frees giflib's state, whatever the outcome.
  const int result = EGifCloseFile(gif_, &error);
  gif_ = nullptr;
  if (result != GIF_OK)
    return Unexpected<std::string>(error_ = std::string("cannot end the GIF: ") + GifErrorString(error));
  if (!output_->Flush())
    return Unexpected<std::string>(error_ = "cannot end the GIF: the bytes were not taken");
  return {};
}

}  // namespace glimmer
