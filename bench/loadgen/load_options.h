// What the load generator is asked to hold, from its command line.
#pragma once

#include <string>

struct LoadOptions {
  int connections = 0;   // established loopback connections, both ends held
  int seconds = 60;      // how long to hold them once all are up
  int timeWait = 0;      // extra connections closed at once, left in TIME_WAIT
  int workers = 0;       // worker processes; 0 picks enough for the descriptor limit
  int setupSeconds = 0;  // time allowed to bring every connection up; 0 picks one
  bool showHelp = false;
};

inline constexpr int kMaxConnections = 1'000'000;
inline constexpr int kMaxSeconds = 24 * 60 * 60;
inline constexpr int kMaxWorkers = 250;

extern const char* const kLoadUsage;

// Fills `options` from argv; false with a one-line `error` for anything
// unknown, missing or out of range.
bool ParseLoadOptions(int argc, char** argv, LoadOptions& options, std::string& error);
