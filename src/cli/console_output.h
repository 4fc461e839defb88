// The lister's platform half: what encoding the list's texts are in, and how
// text reaches the user's terminal or a pipe.
#pragma once

#include <string>
#include <string_view>

// The list's 8-bit texts (the system's ANSI code page) as UTF-8.
std::string ListTextToUtf8(const std::string& text);

// True when standard output is a terminal (or console) rather than a file or pipe.
bool OutputIsTerminal();

// Writes UTF-8 text to standard output in the encoding the terminal expects.
// False when the output could not be written.
bool WriteToOutput(std::string_view utf8);
