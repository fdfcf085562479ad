// SPDX-License-Identifier: MIT

// The address the simulator listens on: "ADDR:PORT" with a numeric IPv4
// address, "[ADDR]:PORT" with a numeric IPv6 one, or "localhost:PORT".

#ifndef WGSIM_SRC_LISTEN_ADDRESS_H_
#define WGSIM_SRC_LISTEN_ADDRESS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wgsim {

struct ListenAddress {
  std::string host = "127.0.0.1";  // numeric, without brackets
  uint16_t port = 3425;            // 0: any free port
  bool ipv6 = false;

  // "127.0.0.1:3425" or "[::1]:3425".
  std::string ToString() const;
  // Whether the address is one of this machine's loopback addresses
  // (127.0.0.0/8 or ::1), which no other machine can reach.
  bool IsLoopback() const;
};

// The address written in `text`, or nullopt with the reason in `error`.
std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error);

}  // namespace wgsim

#endif  // WGSIM_SRC_LISTEN_ADDRESS_H_
