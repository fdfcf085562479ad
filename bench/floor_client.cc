// SPDX-License-Identifier: MIT

#include "floor_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "loopback.h"
#include "tessaly/platform/unique_fd.h"

namespace bench {
namespace {

constexpr std::string_view kPromptEnd = "\xF5\xF5";
constexpr std::string_view kLineEnd = "\r\n";

// Reads into `into` until what it holds ends with `end`.
bool ReadUntil(int fd, std::string_view end, std::string& into) {
  into.clear();
  char chunk[4096];
  while (into.size() < end.size() || into.compare(into.size() - end.size(), end.size(), end) != 0) {
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    into.append(chunk, static_cast<size_t>(got));
  }
  return true;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(done));
  }
  return true;
}

}  // namespace

FloorClient::FloorClient(uint16_t port, std::string_view secret, std::string_view command)
    : port_(port),
      secret_line_(std::string(secret) + "\r\n"),
      command_line_(std::string(command) + "\r\n") {}

bool FloorClient::Run(std::string& reply) const {
  platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in to = testing_support::LoopbackAddress(port_);
  if (!fd || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    return false;
  }
  std::string prompt;
  return ReadUntil(fd.get(), kPromptEnd, prompt) && SendAll(fd.get(), secret_line_) &&
         ReadUntil(fd.get(), kPromptEnd, prompt) && SendAll(fd.get(), command_line_) &&
         ReadUntil(fd.get(), kLineEnd, reply);
}

}  // namespace bench
