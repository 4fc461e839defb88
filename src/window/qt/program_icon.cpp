#include "window/qt/program_icon.h"

#include <QPixmap>
#include <cstddef>

extern const unsigned char kProgramIconPng[];
extern const std::size_t kProgramIconPngSize;

QIcon ProgramIcon() {
  QPixmap picture;
  if (!picture.loadFromData(kProgramIconPng, static_cast<unsigned>(kProgramIconPngSize), "PNG")) {
    return {};
  }
  return QIcon(picture);
}
