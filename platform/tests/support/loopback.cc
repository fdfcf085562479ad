// SPDX-License-Identifier: MIT

#include "loopback.h"

#include <stdexcept>
#include <string>

#include "socket_headers.h"

namespace testing_support {

sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

UniqueSocket BindLoopback(uint16_t& port, int backlog, std::string_view what) {
  UniqueSocket socket = NewTcpSocket();
  sockaddr_in address = LoopbackAddress(0);
  socklen_t length = sizeof address;
  if (!socket || ::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      (backlog != kDoNotListen && ::listen(socket.get(), backlog) != 0) ||
      ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error(std::string(what) + ": cannot bind a port on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return socket;
}

bool SendAll(int fd, std::string_view bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const long done = SendSome(fd, bytes.data() + sent, bytes.size() - sent, true);
    if (done <= 0) return false;
    sent += static_cast<size_t>(done);
  }
  return true;
}

}  // namespace testing_support
