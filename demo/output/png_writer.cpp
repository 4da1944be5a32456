// SPDX-License-Identifier: MIT
#include "demo/output/png_writer.h"

#include <png.h>

#include <vector>

namespace glimmer {
namespace {

// libpng's output: into the file; a failed write ends the image by longjmp, with nothing to destroy here.
void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* file = static_cast<SafeFile*>(png_get_io_ptr(png));
  if (!file->Write(std::string_view(reinterpret_cast<const char*>(data), length))) png_error(png, "write");
}

void Flush(png_structp) {}

}  // namespace

Expected<void, std::string> WritePng(const Image& image, SafeFile& file) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return Unexpected<std::string>("cannot start a PNG");
  }
  std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 3);
  // libpng reports errors by longjmp; nothing with a destructor is created between here and the end.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    const std::string why = file.WriteError();
    return Unexpected<std::string>(why.empty() ? "cannot write the PNG" : why);
  }
  png_set_write_fn(png, &file, &WriteBytes, &Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (std::int32_t y = 0; y < image.height; ++y) {
    for (std::int32_t x = 0; x < image.width; ++x) {
      const Pixel p = image.at(x, y);
      row[static_cast<std::size_t>(x) * 3 + 0] = PixelRed(p);
      row[static_cast<std::size_t>(x) * 3 + 1] = PixelGreen(p);
      row[static_cast<std::size_t>(x) * 3 + 2] = PixelBlue(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return {};
}

}  // namespace glimmer
