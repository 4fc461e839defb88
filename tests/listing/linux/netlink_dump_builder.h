// Builds NETLINK_SOCK_DIAG reply bytes the way the kernel lays them out
// (linux/netlink.h, linux/inet_diag.h), for feeding the parser.
#pragma once

#include <arpa/inet.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

struct DiagSocketFields {
  std::uint8_t family = AF_INET;
  std::uint8_t state = 1;
  std::array<std::uint8_t, 16> source{};
  std::uint16_t sourcePort = 0;  // host order
  std::array<std::uint8_t, 16> destination{};
  std::uint16_t destinationPort = 0;
  std::uint32_t inode = 0;
};

class NetlinkDumpBuilder {
 public:
  // One SOCK_DIAG_BY_FAMILY message; `attributeBytes` adds one rtattr with
  // that many payload bytes (INET_DIAG_SHUTDOWN-like), padded as the kernel pads.
  NetlinkDumpBuilder& Socket(const DiagSocketFields& fields, std::uint16_t flags = NLM_F_MULTI,
                             std::size_t attributeBytes = 1) {
    inet_diag_msg message{};
    message.idiag_family = fields.family;
    message.idiag_state = fields.state;
    message.id.idiag_sport = htons(fields.sourcePort);
    message.id.idiag_dport = htons(fields.destinationPort);
    std::memcpy(message.id.idiag_src, fields.source.data(), fields.source.size());
    std::memcpy(message.id.idiag_dst, fields.destination.data(), fields.destination.size());
    message.idiag_inode = fields.inode;
    std::vector<std::uint8_t> payload(sizeof(message));
    std::memcpy(payload.data(), &message, sizeof(message));
    if (attributeBytes > 0) {
      rtattr attribute{};
      attribute.rta_len = static_cast<std::uint16_t>(sizeof(rtattr) + attributeBytes);
      attribute.rta_type = INET_DIAG_SHUTDOWN;
      const std::size_t at = payload.size();
      payload.resize(at + Align(attribute.rta_len), 0);
      std::memcpy(payload.data() + at, &attribute, sizeof(attribute));
    }
    return Message(SOCK_DIAG_BY_FAMILY, flags, payload);
  }

  NetlinkDumpBuilder& Done(std::int32_t code = 0, std::uint16_t flags = NLM_F_MULTI) {
    return Message(NLMSG_DONE, flags, IntBytes(code));
  }

  NetlinkDumpBuilder& Error(std::int32_t code) {
    nlmsgerr error{};
    error.error = code;
    std::vector<std::uint8_t> payload(sizeof(error));
    std::memcpy(payload.data(), &error, sizeof(error));
    return Message(NLMSG_ERROR, 0, payload);
  }

  NetlinkDumpBuilder& Message(std::uint16_t type, std::uint16_t flags,
                              const std::vector<std::uint8_t>& payload) {
    nlmsghdr header{};
    header.nlmsg_len = static_cast<std::uint32_t>(sizeof(header) + payload.size());
    header.nlmsg_type = type;
    header.nlmsg_flags = flags;
    header.nlmsg_seq = 1;
    const std::size_t at = bytes_.size();
    bytes_.resize(at + Align(header.nlmsg_len), 0);
    std::memcpy(bytes_.data() + at, &header, sizeof(header));
    if (!payload.empty()) {
      std::memcpy(bytes_.data() + at + sizeof(header), payload.data(), payload.size());
    }
    return *this;
  }

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  static std::vector<std::uint8_t> IntBytes(std::int32_t value) {
    std::vector<std::uint8_t> bytes(sizeof(value));
    std::memcpy(bytes.data(), &value, sizeof(value));
    return bytes;
  }

 private:
  static std::size_t Align(std::size_t length) { return (length + 3) & ~std::size_t{3}; }

  std::vector<std::uint8_t> bytes_;
};
