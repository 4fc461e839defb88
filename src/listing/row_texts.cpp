#include "listing/row_texts.h"

#include <array>

std::string DottedAddress(const Ipv4Address& address) {
  std::string text;
  text.reserve(15);
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (i != 0) text.push_back('.');
    text += std::to_string(address[i]);
  }
  return text;
}

std::string PortText(std::uint16_t port) { return std::to_string(port); }

std::string ProcessIdText(std::int32_t pid) { return std::to_string(pid); }

std::string TcpStateLabel(std::int32_t state) {
  // Indexed by the platform's MIB_TCP_STATE numbers 1 (CLOSED) to 12 (DELETE_TCB).
  static const std::array<const char*, 12> kLabels = {
      "已关闭",    "正在监听", "同步发送", "同步接收", "已建立",   "FIN_WAIT1",
      "FIN_WAIT2", "关闭等待", "正在关闭", "最后确认", "延时等待", "删除",
  };
  if (state < 1 || state > 12) return "未知";
  return kLabels[static_cast<std::size_t>(state - 1)];
}
