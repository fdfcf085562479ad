// SPDX-License-Identifier: MIT

#include "listen_address.h"

#include <arpa/inet.h>

#include <charconv>

namespace wgsim {

std::string ListenAddress::ToString() const {
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool ListenAddress::IsLoopback() const {
  if (ipv6) {
    in6_addr address{};
    return ::inet_pton(AF_INET6, host.c_str(), &address) == 1 && IN6_IS_ADDR_LOOPBACK(&address);
  }
  in_addr address{};
  return ::inet_pton(AF_INET, host.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error) {
  ListenAddress result;
  const size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) {
    error = "expected ADDR:PORT, for example 127.0.0.1:3425";
    return std::nullopt;
  }
  std::string_view host = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  unsigned value = 0;
  const auto [end, failure] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (port.empty() || failure != std::errc() || end != port.data() + port.size() || value > 65535) {
    error = "the port must be a number from 0 to 65535";
    return std::nullopt;
  }
  result.port = static_cast<uint16_t>(value);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    in6_addr address{};
    result.host = std::string(host);
    result.ipv6 = true;
    if (::inet_pton(AF_INET6, result.host.c_str(), &address) != 1) {
      error = "\"" + result.host + "\" is not a numeric IPv6 address";
      return std::nullopt;
    }
    return result;
  }
  result.host = host == "localhost" ? "127.0.0.1" : std::string(host);
  in_addr address{};
  if (::inet_pton(AF_INET, result.host.c_str(), &address) != 1) {
    error = "\"" + result.host + "\" is not a numeric IPv4 address (write IPv6 as [ADDR]:PORT)";
    return std::nullopt;
  }
  return result;
}

}  // namespace wgsim
