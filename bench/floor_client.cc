// SPDX-License-Identifier: MIT

#include "floor_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

#include "loopback.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/tcp_socket.h"
#include "tessaly/platform/unique_fd.h"

namespace bench {
namespace {

constexpr std::string_view kPromptEnd = "\xF5\xF5";
constexpr std::string_view kLineEnd = "\r\n";

// A duration as the socket timeout options take it.
timeval AsTimeval(std::chrono::milliseconds duration) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
  return {static_cast<time_t>(seconds.count()),
          static_cast<suseconds_t>(
              std::chrono::duration_cast<std::chrono::microseconds>(duration - seconds).count())};
}

bool SetTimeout(int fd, int option, std::chrono::milliseconds duration) {
  const timeval value = AsTimeval(duration);
  return ::setsockopt(fd, SOL_SOCKET, option, &value, sizeof value) == 0;
}

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

FloorClient::FloorClient(uint16_t port, std::string_view secret, std::string_view command,
                         SystemCalls calls, std::string settings_path)
    : port_(port),
      calls_(calls),
      settings_path_(std::move(settings_path)),
      secret_line_(std::string(secret) + "\r\n"),
      command_line_(std::string(command) + "\r\n") {}

bool FloorClient::ReadSettingsFile() const {
  platform::UniqueFd file(
      ::open(settings_path_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  struct stat status;
  char record[morvane::SettingsRecord::kSize];
  return file && ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) &&
         ::pread(file.get(), record, sizeof record, 0) == static_cast<ssize_t>(sizeof record);
}

bool FloorClient::PrepareSocket(int fd) const {
  const int address_only = 1;
  const sockaddr_in from = testing_support::LoopbackAddress(0);
  return ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &address_only,
                      sizeof address_only) == 0 &&
         ::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof from) == 0 &&
         SetTimeout(fd, SO_SNDTIMEO, platform::SocketTimeouts{}.connect);
}

bool FloorClient::Run(std::string& reply) const {
  const bool as_gateway = calls_ == SystemCalls::kAsGateway;
  if (as_gateway && !ReadSettingsFile()) return false;
  platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in to = testing_support::LoopbackAddress(port_);
  if (!fd || (as_gateway && !PrepareSocket(fd.get())) ||
      ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    return false;
  }
  if (as_gateway && !SetTimeout(fd.get(), SO_RCVTIMEO, platform::SocketTimeouts{}.receive)) {
    return false;
  }
  std::string prompt;
  return ReadUntil(fd.get(), kPromptEnd, prompt) && SendAll(fd.get(), secret_line_) &&
         ReadUntil(fd.get(), kPromptEnd, prompt) && SendAll(fd.get(), command_line_) &&
         ReadUntil(fd.get(), kLineEnd, reply);
}

}  // namespace bench
