#include "loadgen/load_options.h"

#include <charconv>
#include <cstring>
#include <string_view>

const char* const kLoadUsage =
    "usage: corvenna-loadgen --connections N [--seconds S] [--time-wait M]\n"
    "                        [--workers W] [--setup-seconds T]\n"
    "Holds N established TCP connections on loopback, both ends, spread over\n"
    "worker processes so no process passes its descriptor limit. Prints \"ready\"\n"
    "on standard output once every connection is up, holds them S seconds\n"
    "(default 60) or until SIGTERM/SIGINT, then resets them all, leaving no\n"
    "TIME_WAIT behind. --time-wait M also closes M connections normally so the\n"
    "kernel keeps them in TIME_WAIT (about a minute, owned by nobody).\n"
    "Only 127.0.0.0/8 is used.\n";

namespace {

bool ParseCount(std::string_view text, int low, int high, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

struct IntOption {
  const char* name;
  int LoadOptions::*field;
  int low;
  int high;
};

constexpr IntOption kIntOptions[] = {
    {"--connections", &LoadOptions::connections, 0, kMaxConnections},
    {"--seconds", &LoadOptions::seconds, 0, kMaxSeconds},
    {"--time-wait", &LoadOptions::timeWait, 0, kMaxConnections},
    {"--workers", &LoadOptions::workers, 1, kMaxWorkers},
    {"--setup-seconds", &LoadOptions::setupSeconds, 1, kMaxSeconds},
};

}  // namespace

bool ParseLoadOptions(int argc, char** argv, LoadOptions& options, std::string& error) {
  bool sawConnections = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      options.showHelp = true;
      return true;
    }
    const IntOption* option = nullptr;
    for (const IntOption& candidate : kIntOptions) {
      if (arg == candidate.name) option = &candidate;
    }
    if (option == nullptr) {
      error = "unknown argument '" + std::string(arg) + "'";
      return false;
    }
    if (i + 1 >= argc) {
      error = std::string(arg) + " needs a value";
      return false;
    }
    const std::string_view value = argv[++i];
    if (!ParseCount(value, option->low, option->high, options.*(option->field))) {
      error = std::string(arg) + " takes a whole number from " + std::to_string(option->low) +
              " to " + std::to_string(option->high) + ", not '" + std::string(value) + "'";
      return false;
    }
    if (option->field == &LoadOptions::connections) sawConnections = true;
  }
  if (!sawConnections) {
    error = "--connections is required";
    return false;
  }
  return true;
}
