#include "window/win32/picture_box.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "window/jpeg_image.h"
#include "window/win32/child_window.h"
#include "window/win32/drawing.h"
#include "window/win32/gdi_handles.h"
#include "window/win32/window_state.h"

namespace {

constexpr char kClassName[] = "CorvennaPictureBox";

// The picture as a 24-bit top-down DIB: BGR pixels, each row padded to a
// multiple of 4 bytes (BITMAPINFOHEADER, biBitCount 24, BI_RGB).
struct DeviceIndependentPicture {
  BITMAPINFO info{};
  std::vector<std::uint8_t> bits;
};

DeviceIndependentPicture ToDib(const RgbImage& image) {
  DeviceIndependentPicture picture;
  BITMAPINFOHEADER& header = picture.info.bmiHeader;
  header.biSize = sizeof header;
  header.biWidth = image.width;
  header.biHeight = -image.height;  // negative: the first row is the top one
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;

  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  const std::size_t stride = (width * 3 + 3) / 4 * 4;
  picture.bits.assign(stride * height, 0);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* from = image.pixels.data() + y * width * 3;
    std::uint8_t* to = picture.bits.data() + y * stride;
    for (std::size_t x = 0; x < width; ++x) {
      to[3 * x + 0] = from[3 * x + 2];
      to[3 * x + 1] = from[3 * x + 1];
      to[3 * x + 2] = from[3 * x + 0];
    }
  }
  return picture;
}

struct PictureBoxState {
  std::optional<DeviceIndependentPicture> picture;
};

void Paint(HWND window, const PictureBoxState& state) {
  PaintScope paint(window);
  RECT client{};
  GetClientRect(window, &client);
  if (!state.picture) {
    FillButtonFace(paint.dc(), client);
    return;
  }
  const BITMAPINFOHEADER& header = state.picture->info.bmiHeader;
  const int width = header.biWidth;
  const int height = -header.biHeight;
  // The strips right of and below the picture show the background; the
  // picture itself is drawn over the rest, so nothing flickers.
  FillButtonFace(paint.dc(), RECT{width, 0, client.right, client.bottom});
  FillButtonFace(paint.dc(), RECT{0, height, width, client.bottom});
  SetDIBitsToDevice(paint.dc(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                    0, static_cast<UINT>(height), state.picture->bits.data(), &state.picture->info,
                    DIB_RGB_COLORS);
}

}  // namespace

HWND CreatePictureBox(HWND parent, const ControlDescription& control) {
  if (!RegisterProgramClass(kClassName, PaintOnlyProcedure<PictureBoxState, Paint>, 0,
                            LoadCursorA(nullptr, IDC_ARROW))) {
    return nullptr;
  }
  const auto& settings = std::get<PictureBoxSettings>(control.settings);
  auto state = std::make_unique<PictureBoxState>();
  if (std::optional<RgbImage> image = DecodeJpeg(settings.jpeg, settings.jpegSize)) {
    state->picture = ToDib(*image);
  }
  HWND window =
      CreateChildWindow(parent, kClassName, control.name, ChildStyle(control), control, &state);
  return window;
}
