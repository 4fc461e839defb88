// Decodes a JPEG picture to 8-bit RGB pixels with libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // rows top to bottom, 3 bytes (R, G, B) a pixel, no padding
};

// Empty when the bytes are not a picture libjpeg can decode.
std::optional<RgbImage> DecodeJpeg(const unsigned char* data, std::size_t size);
