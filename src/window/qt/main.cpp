// corvenna: the connection viewer's window on Linux.
#include "window/qt/program_start.h"

int main() { return ProgramStart(); }
