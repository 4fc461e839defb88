// The program icon, DEFAULT_ICON of the window description: on Linux the
// 32 × 32 picture resources/corvenna.png compiled into the program.
#pragma once

#include <QIcon>

QIcon ProgramIcon();
