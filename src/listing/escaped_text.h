// Making untrusted UTF-8 texts (executable paths chosen by any user) safe to
// show: nothing in a cell may move the cursor, change colours, split a line
// or reorder what is shown (a right-to-left override can make "gpj.exe" read
// as "exe.jpg").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Backslash-escapes control characters (C0, DEL, C1), the bidirectional
// overrides that reorder what is shown, tabs, newlines and backslashes, and
// writes each byte of invalid UTF-8 as \xNN. Anything else passes unchanged.
std::string EscapeForTerminal(std::string_view utf8);

// The same, appended to `out`: the lister escapes every cell of a large
// table, and this way no cell needs a string of its own.
void AppendEscapedForTerminal(std::string_view utf8, std::string& out);

// For a window's list: the same escapes, but backslashes stay as they are,
// since nothing reads the shown text back.
std::string EscapeForDisplay(std::string_view utf8);

// Columns an escaped (valid UTF-8, control-free) text takes on a terminal:
// 2 for East Asian wide characters, 0 for combining marks, 1 otherwise.
std::size_t DisplayWidth(std::string_view utf8);
