// SPDX-License-Identifier: MIT

// The addresses a socket connects to and from: dotted IPv4 text, or host
// names looked up within a deadline. Shared by the socket backends; the
// system's socket headers come from posix/ or win/system_sockets.h.

#ifndef PLATFORM_SRC_HOST_LOOKUP_H_
#define PLATFORM_SRC_HOST_LOOKUP_H_

#include <array>
#include <chrono>
#include <optional>
#include <string>

namespace platform {

// An IPv4 address as its four bytes in network order, the way sin_addr
// holds them.
using IPv4Address = std::array<unsigned char, 4>;

// The IPv4 address of a dotted address or host name, or nullopt when it
// does not resolve by `deadline`. The system resolver cannot be given a
// deadline, so a name is looked up on a thread of its own that the caller
// stops waiting for at the deadline. The lookup is the system's, or the
// one a test put in its place (internal/host_name_lookup.h).
std::optional<IPv4Address> ResolveIPv4(const std::string& host,
                                       std::chrono::steady_clock::time_point deadline);

}  // namespace platform

#endif  // PLATFORM_SRC_HOST_LOOKUP_H_
