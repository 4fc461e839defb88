// Running the real lister from a test and reading its table.
#pragma once

#include <string>
#include <vector>

struct ListerRun {
  int status = -1;  // as waitpid reports it
  std::string out;
  std::vector<std::vector<std::string>> lines;  // tab-separated cells, header first
};

// Runs `command` through the shell; its standard output, split into lines of
// tab-separated cells.
ListerRun RunCommand(const std::string& command);

// Runs the lister, after `prefix` (a wrapper such as strace) when given.
ListerRun RunLister(const std::string& prefix = "");

// True when the line has the seven cells of a connection row: addresses,
// ports, process id and a known state label.
bool IsWellFormedRow(const std::vector<std::string>& cells);
