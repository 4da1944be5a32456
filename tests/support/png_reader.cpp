// SPDX-License-Identifier: MIT
#include "tests/support/png_reader.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace glimmer::testing {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::optional<PngFile> ReadPng(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::nullopt;
  }
  PngFile result;
  std::vector<png_byte> row;
  // libpng reports errors by longjmp; the objects with destructors above outlive it.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  png_init_io(png, file.get());
  png_read_info(png, info);
  const auto width = static_cast<std::int32_t>(png_get_image_width(png, info));
  const auto height = static_cast<std::int32_t>(png_get_image_height(png, info));
  result.bit_depth = png_get_bit_depth(png, info);
  result.color_type = png_get_color_type(png, info);
  if (result.bit_depth != 8 || result.color_type != PNG_COLOR_TYPE_RGB) {
    png_destroy_read_struct(&png, &info, nullptr);
    result.image = Image(width, height);
    return result;  // the format is what the caller checks; the pixels are not decoded
  }
  result.image = Image(width, height);
  row.resize(static_cast<std::size_t>(width) * 3);
  for (std::int32_t y = 0; y < height; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (std::int32_t x = 0; x < width; ++x) {
      const auto* p = &row[static_cast<std::size_t>(x) * 3];
      result.image.at(x, y) = MakePixel(p[0], p[1], p[2]);
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

}  // namespace glimmer::testing
