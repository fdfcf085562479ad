// SPDX-License-Identifier: MIT

// What the socket backends share besides the answer-end rule
// (answer_end.h), the timeouts (socket_timeouts.cc) and the addresses
// (host_lookup.h).

#ifndef PLATFORM_SRC_TCP_SOCKET_COMMON_H_
#define PLATFORM_SRC_TCP_SOCKET_COMMON_H_

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Bytes read from a socket at a time.
inline constexpr size_t kSocketReadChunk = 16 * 1024;

// The Windows-1252 bytes of the UTF-8 `line` as they go on the wire. Plain
// ASCII is the same in both encodings and is returned as it is; anything
// else is converted into `storage`, which must outlive the result.
std::string_view WireBytes(const std::string& line, std::string& storage);

// Milliseconds from now until `deadline`, at least 0, for poll or select.
int MillisecondsUntil(std::chrono::steady_clock::time_point deadline);

// The text of TcpSocket::Describe for a socket with these settings.
std::string DescribeSocket(const std::string& local_host, const std::string& remote_host,
                           int32_t remote_port, bool connected);

}  // namespace platform

#endif  // PLATFORM_SRC_TCP_SOCKET_COMMON_H_
