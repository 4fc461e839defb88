#include "window/jpeg_image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to DecodeJpeg instead of letting it exit the process.
struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void JumpOnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
  std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Runs the decode proper. Holds no C++ object with a destructor across the
// setjmp, so the longjmp of an error skips nothing that needs cleaning up.
bool DecodeInto(const unsigned char* data, std::size_t size, RgbImage& image) {
  jpeg_decompress_struct info{};
  JumpingErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpOnError;
  errors.base.output_message = IgnoreMessage;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  const std::size_t stride = std::size_t{info.output_width} * 3;
  image.pixels.resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.pixels.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<RgbImage> DecodeJpeg(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size == 0) return std::nullopt;
  RgbImage image;
  if (!DecodeInto(data, size, image)) return std::nullopt;
  return image;
}
