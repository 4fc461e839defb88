#include "listing/linux/sock_diag_parse.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "listing/linux/netlink_dump_builder.h"

namespace {

DiagSocketFields ListenerFields() {
  DiagSocketFields fields;
  fields.family = AF_INET;
  fields.state = 10;  // TCP_LISTEN
  fields.source = {127, 0, 0, 1};
  fields.sourcePort = 0x1F90;  // 8080: bytes differ, so a missed swap shows
  fields.inode = 4242;
  return fields;
}

DiagSocketFields MappedFields() {
  DiagSocketFields fields;
  fields.family = AF_INET6;
  fields.state = 1;  // TCP_ESTABLISHED
  fields.source = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 10, 1, 2, 3};
  fields.sourcePort = 0xC351;
  fields.destination = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 192, 168, 7, 9};
  fields.destinationPort = 443;
  fields.inode = 0xFFFFFFF0u;
  return fields;
}

std::vector<std::uint8_t> TwoSocketsAndDone() {
  return NetlinkDumpBuilder().Socket(ListenerFields()).Socket(MappedFields()).Done().Bytes();
}

// Overwrites a length field in place: nlmsg_len at 0, rta_len at kAttributeAt.
void Poke16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof(value));
}

void Poke32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof(value));
}

constexpr std::size_t kAttributeAt = sizeof(nlmsghdr) + sizeof(inet_diag_msg);

TEST(SockDiagParseTest, TwoSocketsThenDoneGiveBothInOrder) {
  std::vector<KernelTcpSocket> sockets;
  ASSERT_EQ(ParseSockDiagReplies(TwoSocketsAndDone(), sockets), SockDiagReply::kDone);
  ASSERT_EQ(sockets.size(), 2u);

  EXPECT_EQ(sockets[0].family, AF_INET);
  EXPECT_EQ(sockets[0].linuxState, 10);
  EXPECT_EQ(sockets[0].localAddress, (Ipv6Address{127, 0, 0, 1}));
  EXPECT_EQ(sockets[0].localPort, 8080);
  EXPECT_EQ(sockets[0].remoteAddress, Ipv6Address{});
  EXPECT_EQ(sockets[0].remotePort, 0);
  EXPECT_EQ(sockets[0].inode, 4242u);

  EXPECT_EQ(sockets[1].family, AF_INET6);
  EXPECT_EQ(sockets[1].linuxState, 1);
  EXPECT_EQ(sockets[1].localAddress, MappedFields().source);
  EXPECT_EQ(sockets[1].localPort, 0xC351);
  EXPECT_EQ(sockets[1].remoteAddress, MappedFields().destination);
  EXPECT_EQ(sockets[1].remotePort, 443);
  EXPECT_EQ(sockets[1].inode, 0xFFFFFFF0u);
}

TEST(SockDiagParseTest, RepliesAreClassified) {
  struct Case {
    std::string name;
    std::function<std::vector<std::uint8_t>()> bytes;
    SockDiagReply expected;
    std::size_t sockets;  // entries appended, whether or not the caller keeps them
  };
  const Case cases[] = {
      {"empty buffer", [] { return std::vector<std::uint8_t>(); }, SockDiagReply::kNeedMore, 0},
      {"datagram without DONE",
       [] { return NetlinkDumpBuilder().Socket(ListenerFields()).Bytes(); },
       SockDiagReply::kNeedMore, 1},
      {"DONE alone", [] { return NetlinkDumpBuilder().Done().Bytes(); }, SockDiagReply::kDone, 0},
      {"DONE without its errno field",
       [] { return NetlinkDumpBuilder().Message(NLMSG_DONE, NLM_F_MULTI, {}).Bytes(); },
       SockDiagReply::kDone, 0},
      {"bytes after DONE are ignored",
       [] {
         auto bytes = NetlinkDumpBuilder().Done().Bytes();
         bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE});
         return bytes;
       },
       SockDiagReply::kDone, 0},
      {"NOOP is skipped",
       [] {
         return NetlinkDumpBuilder()
             .Message(NLMSG_NOOP, 0, {})
             .Socket(ListenerFields())
             .Done()
             .Bytes();
       },
       SockDiagReply::kDone, 1},
      {"family other than IPv4 and IPv6 is passed over",
       [] {
         DiagSocketFields other = ListenerFields();
         other.family = AF_UNIX;
         return NetlinkDumpBuilder().Socket(other).Socket(ListenerFields()).Done().Bytes();
       },
       SockDiagReply::kDone, 1},
      {"message with no attributes",
       [] { return NetlinkDumpBuilder().Socket(ListenerFields(), NLM_F_MULTI, 0).Done().Bytes(); },
       SockDiagReply::kDone, 1},
      {"last message without its padding",
       [] {
         auto bytes = NetlinkDumpBuilder().Socket(ListenerFields()).Bytes();
         const std::size_t unpadded = kAttributeAt + sizeof(rtattr) + 1;
         bytes.resize(unpadded);
         Poke32(bytes, 0, static_cast<std::uint32_t>(unpadded));
         return bytes;
       },
       SockDiagReply::kNeedMore, 1},
      {"NLMSG_ERROR", [] { return NetlinkDumpBuilder().Error(-EPERM).Bytes(); },
       SockDiagReply::kKernelError, 0},
      {"NLMSG_ERROR after sockets",
       [] { return NetlinkDumpBuilder().Socket(ListenerFields()).Error(-ENOMEM).Bytes(); },
       SockDiagReply::kKernelError, 1},
      {"NLMSG_ERROR acknowledgement (code 0) is out of place",
       [] { return NetlinkDumpBuilder().Error(0).Bytes(); }, SockDiagReply::kKernelError, 0},
      {"NLMSG_ERROR too short for its code",
       [] {
         return NetlinkDumpBuilder().Message(NLMSG_ERROR, 0, {0xFF, 0xFF}).Bytes();
       },
       SockDiagReply::kMalformed, 0},
      {"DONE carrying a negative errno",
       [] { return NetlinkDumpBuilder().Socket(ListenerFields()).Done(-EINTR).Bytes(); },
       SockDiagReply::kKernelError, 1},
      {"socket message flagged DUMP_INTR",
       [] {
         return NetlinkDumpBuilder()
             .Socket(ListenerFields())
             .Socket(MappedFields(), NLM_F_MULTI | NLM_F_DUMP_INTR)
             .Done()
             .Bytes();
       },
       SockDiagReply::kInterrupted, 1},
      {"DONE flagged DUMP_INTR",
       [] {
         return NetlinkDumpBuilder()
             .Socket(ListenerFields())
             .Done(0, NLM_F_MULTI | NLM_F_DUMP_INTR)
             .Bytes();
       },
       SockDiagReply::kInterrupted, 1},
      {"length runs past the buffer",
       [] {
         auto bytes = TwoSocketsAndDone();
         bytes.resize(bytes.size() - 24);  // the second socket cut short, no DONE
         return bytes;
       },
       SockDiagReply::kMalformed, 1},
      {"length shorter than the header",
       [] {
         auto bytes = TwoSocketsAndDone();
         Poke32(bytes, 0, 8);
         return bytes;
       },
       SockDiagReply::kMalformed, 0},
      {"partial header at the end",
       [] {
         auto bytes = NetlinkDumpBuilder().Socket(ListenerFields()).Bytes();
         bytes.resize(bytes.size() + 8, 0);
         return bytes;
       },
       SockDiagReply::kMalformed, 1},
      {"payload shorter than inet_diag_msg",
       [] {
         return NetlinkDumpBuilder()
             .Message(SOCK_DIAG_BY_FAMILY, NLM_F_MULTI, std::vector<std::uint8_t>(40))
             .Done()
             .Bytes();
       },
       SockDiagReply::kMalformed, 0},
      {"attribute longer than its message",
       [] {
         auto bytes = TwoSocketsAndDone();
         Poke16(bytes, kAttributeAt, 200);
         return bytes;
       },
       SockDiagReply::kMalformed, 0},
      {"attribute shorter than its own header",
       [] {
         auto bytes = TwoSocketsAndDone();
         Poke16(bytes, kAttributeAt, 2);
         return bytes;
       },
       SockDiagReply::kMalformed, 0},
      {"unexpected message type",
       [] { return NetlinkDumpBuilder().Message(RTM_NEWLINK, NLM_F_MULTI, {}).Bytes(); },
       SockDiagReply::kMalformed, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<KernelTcpSocket> sockets;
    EXPECT_EQ(ParseSockDiagReplies(c.bytes(), sockets), c.expected);
    EXPECT_EQ(sockets.size(), c.sockets);
  }
}

TEST(SockDiagParseTest, DumpAtAnOddAddressParsesTheSame) {
  const auto dump = TwoSocketsAndDone();
  std::vector<std::uint8_t> shifted(dump.size() + 1);
  std::copy(dump.begin(), dump.end(), shifted.begin() + 1);
  std::vector<KernelTcpSocket> sockets;
  ASSERT_EQ(ParseSockDiagReplies(std::span(shifted).subspan(1), sockets), SockDiagReply::kDone);
  ASSERT_EQ(sockets.size(), 2u);
  EXPECT_EQ(sockets[1].inode, 0xFFFFFFF0u);
}

// Every cut of a dump is either a clean end between messages or damage; the
// parser never reads past the cut (the sanitizer build checks that too).
TEST(SockDiagParseTest, EveryPrefixOfADumpIsWholeOrMalformed) {
  const auto dump = TwoSocketsAndDone();
  const std::size_t socketMessage = kAttributeAt + 8;  // one 1-byte attribute, padded
  for (std::size_t length = 0; length <= dump.size(); ++length) {
    SCOPED_TRACE(length);
    // Copied so that a read past the cut lands outside the allocation.
    const std::vector<std::uint8_t> prefix(dump.begin(), dump.begin() + static_cast<long>(length));
    std::vector<KernelTcpSocket> sockets;
    const SockDiagReply reply = ParseSockDiagReplies(prefix, sockets);
    if (length == dump.size()) {
      EXPECT_EQ(reply, SockDiagReply::kDone);
    } else if (length % socketMessage == 0 && length <= 2 * socketMessage) {
      EXPECT_EQ(reply, SockDiagReply::kNeedMore);
    } else {
      EXPECT_EQ(reply, SockDiagReply::kMalformed);
    }
  }
}

}  // namespace
