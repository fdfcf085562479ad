// SPDX-License-Identifier: MIT

#include "tcp_socket_common.h"

#include "ascii_words.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/tcp_socket.h"

namespace platform {

std::string_view WireBytes(const std::string& line, std::string& storage) {
  if (ascii_words::IsAscii(line)) return line;
  storage = Utf8ToAnsi(line);
  return storage;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
  return left > 0 ? static_cast<int>(left) : 0;
}

std::string DescribeSocket(const std::string& local_host, const std::string& remote_host,
                           int32_t remote_port, bool connected) {
  return std::string(kTcpSocketProgId) + " local host \"" + local_host + "\", remote host \"" +
         remote_host + "\", remote port " + std::to_string(remote_port) +
         (connected ? ", connected" : ", not connected");
}

}  // namespace platform
