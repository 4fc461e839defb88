// Real TCP sockets on loopback for tests against the kernel's table.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "listing/linux/unique_fd.h"

inline const in_addr kLoopback4{htonl(INADDR_LOOPBACK)};

inline in6_addr MappedLoopback6() {
  in6_addr address{};
  inet_pton(AF_INET6, "::ffff:127.0.0.1", &address);
  return address;
}

[[noreturn]] inline void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

inline UniqueFd TcpSocket(int family) {
  UniqueFd fd(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd.IsValid()) Fail("socket");
  return fd;
}

inline std::uint16_t LocalPort(const UniqueFd& fd) {
  sockaddr_storage address{};
  socklen_t length = sizeof(address);
  if (::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    Fail("getsockname");
  }
  if (address.ss_family == AF_INET6) {
    sockaddr_in6 v6{};
    std::memcpy(&v6, &address, sizeof(v6));
    return ntohs(v6.sin6_port);
  }
  sockaddr_in v4{};
  std::memcpy(&v4, &address, sizeof(v4));
  return ntohs(v4.sin_port);
}

inline std::uint32_t SocketInode(const UniqueFd& fd) {
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0) Fail("fstat");
  return static_cast<std::uint32_t>(status.st_ino);
}

inline void Bind4(const UniqueFd& fd, in_addr address, std::uint16_t port) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr = address;
  where.sin_port = htons(port);
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0) {
    Fail("bind");
  }
}

inline void Bind6(const UniqueFd& fd, const in6_addr& address, std::uint16_t port) {
  sockaddr_in6 where{};
  where.sin6_family = AF_INET6;
  where.sin6_addr = address;
  where.sin6_port = htons(port);
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0) {
    Fail("bind");
  }
}

inline UniqueFd Listener4() {
  UniqueFd fd = TcpSocket(AF_INET);
  Bind4(fd, kLoopback4, 0);
  if (::listen(fd.Get(), 8) != 0) Fail("listen");
  return fd;
}

inline UniqueFd Connect4(std::uint16_t port) {
  UniqueFd fd = TcpSocket(AF_INET);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr = kLoopback4;
  where.sin_port = htons(port);
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0) {
    Fail("connect");
  }
  return fd;
}

inline UniqueFd Connect6(const in6_addr& address, std::uint16_t port) {
  UniqueFd fd = TcpSocket(AF_INET6);
  sockaddr_in6 where{};
  where.sin6_family = AF_INET6;
  where.sin6_addr = address;
  where.sin6_port = htons(port);
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0) {
    Fail("connect");
  }
  return fd;
}

inline UniqueFd Accept(const UniqueFd& listener) {
  UniqueFd fd(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
  if (!fd.IsValid()) Fail("accept");
  return fd;
}
