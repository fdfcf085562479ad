// SPDX-License-Identifier: MIT

#include "host_lookup.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "host_name_lookup.h"
#include "system_sockets.h"
#include "tessaly/platform/tcp_socket.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Host names looked up at the same time, at most. A name service that
// never answers leaves one lookup thread per name behind for as long as the
// system resolver tries; beyond this many, Connect fails at once rather
// than start more.
constexpr size_t kMaxPendingLookups = 8;

// A lookup under way, shared by the thread that runs it and by every
// Connect that waits for it.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::optional<IPv4Address> address;
};

// The lookups under way, by name. The lookup threads hold it too, so it
// outlives any of them that a Connect gave up on.
struct LookupTable {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<PendingLookup>> pending;
  HostNameLookup lookup;  // empty: the system resolver
};

const std::shared_ptr<LookupTable>& Lookups() {
  static const std::shared_ptr<LookupTable> table = std::make_shared<LookupTable>();
  return table;
}

// The address of `dotted` when it is four decimal numbers of 0-255 without
// leading zeros, separated by dots and nothing else, the form settings
// usually hold; nullopt for any other text. Everything it accepts
// inet_pton accepts alike, so it only spares the library call.
std::optional<IPv4Address> ParsePlainDottedQuad(std::string_view dotted) {
  constexpr size_t kParts = 4;
  constexpr uint32_t kLargestPart = 255;
  IPv4Address address{};
  size_t parts = 0;
  uint32_t part = 0;
  int digits = 0;
  for (const char c : dotted) {
    if (c >= '0' && c <= '9') {
      if (digits == 1 && part == 0) return std::nullopt;  // a leading zero
      part = part * 10 + static_cast<uint32_t>(c - '0');
      if (part > kLargestPart) return std::nullopt;
      ++digits;
    } else if (c == '.' && digits > 0 && parts + 1 < kParts) {
      address[parts++] = static_cast<unsigned char>(part);
      part = 0;
      digits = 0;
    } else {
      return std::nullopt;
    }
  }
  if (parts + 1 != kParts || digits == 0) return std::nullopt;
  address[parts] = static_cast<unsigned char>(part);
  return address;
}

IPv4Address BytesOf(const in_addr& address) {
  IPv4Address bytes;
  std::memcpy(bytes.data(), &address, bytes.size());
  return bytes;
}

// `text` read as an IPv4 address in any form the system's inet_pton takes.
std::optional<IPv4Address> SystemParseIPv4(const std::string& text) {
  in_addr address{};
  if (::inet_pton(AF_INET, text.c_str(), &address) == 1) return BytesOf(address);
  return std::nullopt;
}

// `name` looked up by the system's resolver, which may take long.
std::optional<IPv4Address> SystemLookup(const std::string& name) {
  if (!SocketCallsReady()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, &::freeaddrinfo);
  if (found == nullptr) return std::nullopt;
  return BytesOf(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
}

std::optional<IPv4Address> ParseIPv4(const std::string& dotted) {
  if (auto plain = ParsePlainDottedQuad(dotted)) return plain;
  return SystemParseIPv4(dotted);
}

// The lookup of `name` that is under way, joined, or a new one started on
// a thread of its own; nullptr when no thread can be started.
std::shared_ptr<PendingLookup> StartLookup(const std::string& name) {
  const std::shared_ptr<LookupTable>& table = Lookups();
  std::lock_guard lock(table->mutex);
  if (auto found = table->pending.find(name); found != table->pending.end()) return found->second;
  if (table->pending.size() >= kMaxPendingLookups) return nullptr;
  auto pending = std::make_shared<PendingLookup>();
  try {
    std::thread([table, name, pending, lookup = table->lookup] {
      const std::optional<IPv4Address> address =
          lookup ? ParseIPv4(lookup(name)) : SystemLookup(name);
      {
        std::lock_guard table_lock(table->mutex);
        if (auto found = table->pending.find(name);
            found != table->pending.end() && found->second == pending) {
          table->pending.erase(found);
        }
      }
      {
        std::lock_guard pending_lock(pending->mutex);
        pending->address = address;
        pending->done = true;
      }
      pending->finished.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return nullptr;
  }
  table->pending.emplace(name, pending);
  return pending;
}

}  // namespace

std::optional<IPv4Address> ResolveIPv4(const std::string& host, Clock::time_point deadline) {
  if (auto address = ParseIPv4(host)) return address;
  if (host.empty()) return std::nullopt;
  const std::shared_ptr<PendingLookup> pending = StartLookup(host);
  if (!pending) return std::nullopt;
  std::unique_lock lock(pending->mutex);
  if (!pending->finished.wait_until(lock, deadline, [&] { return pending->done; })) {
    return std::nullopt;
  }
  return pending->address;
}

void SetHostNameLookup(HostNameLookup lookup) {
  const std::shared_ptr<LookupTable>& table = Lookups();
  std::lock_guard lock(table->mutex);
  table->lookup = std::move(lookup);
}

}  // namespace platform
