#include <windows.h>

#include "window/win32/program_start.h"

// The command line and the show state are not used: the window always
// starts centred in the normal state.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramStart(); }
