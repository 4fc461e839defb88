// Arbitrary bytes as netlink sock_diag replies and as /proc/net/tcp text:
// the parsers must reject what is malformed without reading past the buffer.
#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "listing/linux/proc_net_tcp.h"
#include "listing/linux/sock_diag_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);  // exactly sized for ASan
  std::vector<KernelTcpSocket> sockets;
  ParseSockDiagReplies(std::span<const std::uint8_t>(bytes.data(), bytes.size()), sockets);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  ParseProcNetTcp(text, AF_INET, sockets);
  ParseProcNetTcp(text, AF_INET6, sockets);
  return 0;
}
