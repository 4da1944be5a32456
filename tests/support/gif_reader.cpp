// SPDX-License-Identifier: MIT
#include "tests/support/gif_reader.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>

namespace glimmer::testing {
namespace {

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

std::optional<int> LoopCount(const SavedImage& first) {
  const ExtensionBlock* blocks = first.ExtensionBlocks;
  for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i)
    if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
        std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0 && blocks[i + 1].ByteCount == 3 &&
        blocks[i + 1].Bytes[0] == 1)
      return blocks[i + 1].Bytes[1] | (blocks[i + 1].Bytes[2] << 8);
  return std::nullopt;
}

// Draws one frame onto the picture, leaving its transparent pixels; false when it names a colour the
// table lacks.
bool Draw(const SavedImage& image, const std::vector<Pixel>& palette, int transparent, Image& picture) {
  const GifImageDesc& d = image.ImageDesc;
  for (int y = 0; y < d.Height; ++y)
    for (int x = 0; x < d.Width; ++x) {
      const GifByteType index = image.RasterBits[y * d.Width + x];
      if (index == transparent) continue;
      if (index >= palette.size()) return false;
      if (d.Left + x < picture.width && d.Top + y < picture.height)
        picture.at(d.Left + x, d.Top + y) = palette[index];
    }
  return true;
}

void Dispose(const GifPlayback::Frame& frame, const Image& before, Pixel background, Image& picture) {
  for (int y = frame.top; y < frame.top + frame.height && y < picture.height; ++y)
    for (int x = frame.left; x < frame.left + frame.width && x < picture.width; ++x) {
      if (frame.disposal == DISPOSE_BACKGROUND) picture.at(x, y) = background;
      if (frame.disposal == DISPOSE_PREVIOUS) picture.at(x, y) = before.at(x, y);
    }
}

}  // namespace

std::optional<GifPlayback> ReadGif(const std::string& path) {
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(path.c_str(), &error));
  if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->SColorMap == nullptr) return std::nullopt;
  GifPlayback playback{
      .width = gif->SWidth, .height = gif->SHeight, .background_index = gif->SBackGroundColor};
  for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
    const GifColorType& c = gif->SColorMap->Colors[i];
    playback.palette.push_back(MakePixel(c.Red, c.Green, c.Blue));
  }
  if (gif->ImageCount > 0) playback.loop_count = LoopCount(gif->SavedImages[0]);
  const Pixel background = playback.palette.at(static_cast<std::size_t>(playback.background_index));
  Image picture(gif->SWidth, gif->SHeight, background);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock control{};
    if (DGifSavedExtensionToGCB(gif.get(), i, &control) != GIF_OK) control = GraphicsControlBlock{};
    GifPlayback::Frame frame{.left = image.ImageDesc.Left,
                             .top = image.ImageDesc.Top,
                             .width = image.ImageDesc.Width,
                             .height = image.ImageDesc.Height,
                             .delay = control.DelayTime,
                             .disposal = control.DisposalMode,
                             .transparent = control.TransparentColor};
    const Image before = picture;
    if (image.ImageDesc.ColorMap != nullptr || !Draw(image, playback.palette, frame.transparent, picture))
      return std::nullopt;
    frame.shown = picture;
    Dispose(frame, before, background, picture);
    playback.frames.push_back(std::move(frame));
  }
  return playback;
}

Image Enlarged(const Image& image, int scale) {
  Image large(image.width * scale, image.height * scale);
  for (std::int32_t y = 0; y < large.height; ++y)
    for (std::int32_t x = 0; x < large.width; ++x)
      large.at(x, y) = image.at(x / scale, y / scale);
  return large;
}

}  // namespace glimmer::testing
