#include "e2e/lister_run.h"

#include <array>
#include <cstdio>
#include <regex>
#include <set>
#include <sstream>

ListerRun RunCommand(const std::string& command) {
  ListerRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 65536> buffer{};
  std::size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  run.status = pclose(pipe);
  std::istringstream in(run.out);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    run.lines.push_back(std::move(cells));
  }
  return run;
}

bool IsWellFormedRow(const std::vector<std::string>& cells) {
  static const std::regex address(
      R"((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)(\.(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)){3})");
  static const std::regex port(R"(0|[1-9]\d{0,4})");
  static const std::regex pid(R"(0|[1-9]\d*)");
  static const std::set<std::string> states = {"已关闭",   "正在监听",  "同步发送",  "同步接收",
                                               "已建立",   "FIN_WAIT1", "FIN_WAIT2", "关闭等待",
                                               "正在关闭", "最后确认",  "延时等待",  "删除"};
  if (cells.size() != 7) return false;
  if (!std::regex_match(cells[0], address) || !std::regex_match(cells[2], address)) return false;
  if (!std::regex_match(cells[1], port) || !std::regex_match(cells[3], port)) return false;
  if (std::stoul(cells[1]) > 65535 || std::stoul(cells[3]) > 65535) return false;
  if (!std::regex_match(cells[4], pid)) return false;
  if (states.count(cells[5]) == 0) return false;
  // A path is absolute, or empty when the owner is unknown or gone.
  return cells[6].empty() || cells[6][0] == '/';
}

ListerRun RunLister(const std::string& prefix) { return RunCommand(prefix + CORVENNA_LIST_PATH); }
