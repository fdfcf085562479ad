// SPDX-License-Identifier: MIT

// Who may hold the simulator's sessions. Decides, for every accepted
// connection, whether it gets a session, and how long a client that keeps
// sending wrong secrets waits for its "Goodbye.".
//
// The rules keep idle, hostile or churning clients from shutting others
// out:
// - sessions still waiting for the secret ("waiting") may hold at most the
//   waiting share of the slots; the rest are kept for addresses that have
//   sent the right secret lately;
// - one address has at most `max_per_address` sessions waiting; a
//   newcomer from an address that has them takes the place of the
//   address's own oldest waiting session;
// - when a newcomer finds no other room, the address with the most
//   sessions waiting gives up its oldest one, however young: sessions
//   that only wait, reconnecting as soon as they are pushed out, push out
//   each other and never a client from another address that sends its
//   secret at once;
// - a newcomer is refused only when every slot is held by a session that
//   has sent the right secret;
// - wrong secrets from one address are answered later and later, up to a
//   bound, so that guessing is slow and no slot is held for long.
// A session pushed out has its socket shut down. Thread-safe.

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
  // Sessions waiting for the secret from one address. 0: the waiting
  // share, which is max_sessions less the reserved quarter.
  int max_per_address = 0;
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
    // The addresses of waiting sessions pushed out to make room, or empty.
    std::string evicted;
  };

  // Whether a connection from `address` (without the port) on socket `fd`
  // gets a session. `fd` stays valid until Leave(ticket): a session pushed
  // out to make room has its socket shut down (never closed) here, and its
  // ticket is given up.
  Admission Admit(const std::string& address, int fd, Clock::time_point now = Clock::now());

  // The session sent the right secret: it leaves the waiting share, can no
  // longer be pushed out, and its address counts as known.
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
    bool waiting = true;  // for the secret
  };
  struct Standing {
    int failures = 0;
    Clock::time_point last_failure{};
    std::optional<Clock::time_point> last_proof;
  };

  using Sessions = std::map<uint64_t, Session>;

  bool Trusted(const std::string& address, Clock::time_point now) const;
  Standing& StandingOf(const std::string& address, Clock::time_point now);
  // The session to push out for a newcomer from `address`: the oldest
  // waiting session of `address` when `own` is set, else that of the
  // address with the most sessions waiting (counted in `waiting`). End
  // when there is none.
  Sessions::iterator PushOutCandidate(const std::string& address, bool own,
                                      const std::unordered_map<std::string, int>& waiting);

  ClientLimits limits_;
  int max_waiting_;
  mutable std::mutex mutex_;
  uint64_t next_ticket_ = 1;
  Sessions sessions_;  // oldest first
  std::unordered_map<std::string, Standing> standings_;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_CLIENT_TABLE_H_
