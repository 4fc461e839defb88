// The banner picture compiled into the program (resources/banner.jpg).
#pragma once

#include <cstddef>

extern const unsigned char kBannerJpeg[];
extern const std::size_t kBannerJpegSize;
