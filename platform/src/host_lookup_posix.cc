// SPDX-License-Identifier: MIT

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

#include "host_lookup.h"

namespace platform {
namespace {

IPv4Address BytesOf(const in_addr& address) {
  IPv4Address bytes;
  std::memcpy(bytes.data(), &address, bytes.size());
  return bytes;
}

}  // namespace

std::optional<IPv4Address> SystemParseIPv4(const std::string& text) {
  in_addr address{};
  if (::inet_pton(AF_INET, text.c_str(), &address) == 1) return BytesOf(address);
  return std::nullopt;
}

std::optional<IPv4Address> SystemLookup(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, &::freeaddrinfo);
  if (found == nullptr) return std::nullopt;
  return BytesOf(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
}

}  // namespace platform
