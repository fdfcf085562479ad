// SPDX-License-Identifier: MIT

// Who may hold the simulator's sessions. Decides, for every accepted
// connection, whether it gets a session, and how long a client that keeps
// sending wrong secrets waits for its "Goodbye.".
//
// The rules keep idle or hostile clients from shutting others out:
// - sessions still waiting for the secret ("pending") may hold at most the
//   pending share of the slots; the rest are kept for addresses that have
//   sent the right secret lately;
// - one address holds at most `max_per_address` sessions;
// - when a newcomer finds no room (overall, or for its address), the
//   oldest pending session (of that address) that has had
//   `min_pending_age` to send its secret gives its slot up (its socket is
//   shut down), so that connections which only wait cannot keep the slots
//   by reconnecting;
// - wrong secrets from one address are answered later and later, up to a
//   bound, so that guessing is slow and no slot is held for long.
// Thread-safe.

#ifndef WGSIM_SRC_CLIENT_TABLE_H_
#define WGSIM_SRC_CLIENT_TABLE_H_

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace wgsim {

struct ClientLimits {
  int max_sessions = 16;
  // 0: the pending share, which is max_sessions less the reserved quarter.
  int max_per_address = 0;
  std::chrono::milliseconds min_pending_age{1000};
  // How long an address counts as one that knows the secret.
  std::chrono::milliseconds trust_time{10 * 60 * 1000};
  // The first wrong secret waits this long, each further one twice as
  // long, up to max_tarpit; after forget_failures without one the count
  // starts again.
  std::chrono::milliseconds first_tarpit{100};
  std::chrono::milliseconds max_tarpit{2000};
  std::chrono::milliseconds forget_failures{60 * 1000};
};

class ClientTable {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ClientTable(ClientLimits limits);

  ClientTable(const ClientTable&) = delete;
  ClientTable& operator=(const ClientTable&) = delete;

  struct Admission {
    // The session's ticket, or nullopt when the client gets the busy
    // greeting; `reason` then says why.
    std::optional<uint64_t> ticket;
    std::string reason;
    // The addresses of pending sessions shut down to make room, or empty.
    std::string evicted;
  };

  // Whether a connection from `address` (without the port) on socket `fd`
  // gets a session. `fd` stays valid until Leave(ticket): a session pushed
  // out to make room has its socket shut down (never closed) here.
  Admission Admit(const std::string& address, int fd, Clock::time_point now = Clock::now());

  // The session sent the right secret: it leaves the pending share and
  // its address counts as known.
  void Proved(uint64_t ticket, Clock::time_point now = Clock::now());

  // The session sent a wrong secret. Returns how long to wait before
  // answering, and the number of wrong secrets from the address lately.
  std::pair<std::chrono::milliseconds, int> WrongSecret(uint64_t ticket,
                                                        Clock::time_point now = Clock::now());

  // The session has ended; call before its socket is closed. A ticket
  // already given up is ignored.
  void Leave(uint64_t ticket);

 private:
  struct Session {
    std::string address;
    int fd;
    bool pending = true;
    Clock::time_point since;
  };
  struct Standing {
    int failures = 0;
    Clock::time_point last_failure{};
    std::optional<Clock::time_point> last_proof;
  };

  bool Trusted(const std::string& address, Clock::time_point now) const;
  Standing& StandingOf(const std::string& address, Clock::time_point now);

  ClientLimits limits_;
  int max_pending_;
  mutable std::mutex mutex_;
  uint64_t next_ticket_ = 1;
  std::map<uint64_t, Session> sessions_;  // oldest first
  std::unordered_map<std::string, Standing> standings_;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_CLIENT_TABLE_H_
