// SPDX-License-Identifier: MIT

#include "support/raw_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace tools_testing {

RawClient::RawClient(uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ADD_FAILURE() << "cannot connect to 127.0.0.1:" << port;
  }
}

std::string RawClient::ReadAnswer(int timeout_ms) {
  std::string answer;
  pollfd entry{fd_.get(), POLLIN, 0};
  while (::poll(&entry, 1, timeout_ms) > 0) {
    char c;
    if (::recv(fd_.get(), &c, 1, 0) != 1) break;
    answer += c;
    if (answer.ends_with("\xF5\xF5") || answer.ends_with("\r\n")) break;
  }
  return answer;
}

void RawClient::Send(std::string_view bytes) {
  ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

}  // namespace tools_testing
