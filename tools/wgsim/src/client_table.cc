// SPDX-License-Identifier: MIT

#include "client_table.h"

#include <sys/socket.h>

#include <algorithm>

namespace wgsim {
namespace {

// The share of the slots kept for addresses that know the secret.
constexpr int kReservedQuarter = 4;
// Addresses remembered for trust and wrong secrets; beyond it the
// forgotten ones are dropped first, and all of them as a last resort.
constexpr size_t kMaxRememberedAddresses = 4096;

}  // namespace

ClientTable::ClientTable(ClientLimits limits) : limits_(limits) {
  limits_.max_sessions = std::max(1, limits_.max_sessions);
  max_pending_ = limits_.max_sessions - limits_.max_sessions / kReservedQuarter;
  if (limits_.max_per_address <= 0) limits_.max_per_address = max_pending_;
}

bool ClientTable::Trusted(const std::string& address, Clock::time_point now) const {
  const auto it = standings_.find(address);
  return it != standings_.end() && it->second.last_proof &&
         now - *it->second.last_proof < limits_.trust_time;
}

ClientTable::Standing& ClientTable::StandingOf(const std::string& address, Clock::time_point now) {
  if (standings_.size() >= kMaxRememberedAddresses && !standings_.contains(address)) {
    std::erase_if(standings_, [&](const auto& entry) {
      const Standing& s = entry.second;
      return now - s.last_failure >= limits_.forget_failures &&
             (!s.last_proof || now - *s.last_proof >= limits_.trust_time);
    });
    if (standings_.size() >= kMaxRememberedAddresses) standings_.clear();
  }
  return standings_[address];
}

ClientTable::Admission ClientTable::Admit(const std::string& address, int fd,
                                          Clock::time_point now) {
  std::lock_guard lock(mutex_);
  int pending = 0;
  int from_address = 0;
  for (const auto& [ticket, session] : sessions_) {
    pending += session.pending ? 1 : 0;
    from_address += session.address == address ? 1 : 0;
  }
  Admission admission;
  // Room is made only by a pending session that has had its time to send
  // the secret, the oldest first (the map is in order of arrival). Its
  // thread sees the connection end and calls Leave, which then finds
  // nothing to do.
  const auto evict_oldest = [&](bool same_address) {
    const auto oldest = std::find_if(sessions_.begin(), sessions_.end(), [&](const auto& entry) {
      return entry.second.pending && now - entry.second.since >= limits_.min_pending_age &&
             (!same_address || entry.second.address == address);
    });
    if (oldest == sessions_.end()) return false;
    ::shutdown(oldest->second.fd, SHUT_RDWR);
    if (!admission.evicted.empty()) admission.evicted += ", ";
    admission.evicted += oldest->second.address;
    from_address -= oldest->second.address == address ? 1 : 0;
    --pending;
    sessions_.erase(oldest);
    return true;
  };
  if (from_address >= limits_.max_per_address && !evict_oldest(/*same_address=*/true)) {
    admission.reason = std::to_string(from_address) + " sessions from this address already";
    return admission;
  }
  const int pending_limit = Trusted(address, now) ? limits_.max_sessions : max_pending_;
  const int total = static_cast<int>(sessions_.size());
  if ((total >= limits_.max_sessions || pending >= pending_limit) && !evict_oldest(false)) {
    admission.reason = total >= limits_.max_sessions
                           ? std::to_string(total) + " sessions already running"
                           : std::to_string(pending) + " sessions already waiting for the secret";
    return admission;
  }
  const uint64_t ticket = next_ticket_++;
  sessions_.emplace(ticket, Session{address, fd, true, now});
  admission.ticket = ticket;
  return admission;
}

void ClientTable::Proved(uint64_t ticket, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(ticket);
  if (it == sessions_.end()) return;
  it->second.pending = false;
  Standing& standing = StandingOf(it->second.address, now);
  standing.last_proof = now;
  standing.failures = 0;
}

std::pair<std::chrono::milliseconds, int> ClientTable::WrongSecret(uint64_t ticket,
                                                                   Clock::time_point now) {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(ticket);
  if (it == sessions_.end()) return {std::chrono::milliseconds(0), 0};
  Standing& standing = StandingOf(it->second.address, now);
  if (now - standing.last_failure >= limits_.forget_failures) standing.failures = 0;
  standing.last_failure = now;
  ++standing.failures;
  auto delay = limits_.first_tarpit;
  for (int i = 1; i < standing.failures && delay < limits_.max_tarpit; ++i) delay *= 2;
  return {std::min(delay, limits_.max_tarpit), standing.failures};
}

void ClientTable::Leave(uint64_t ticket) {
  std::lock_guard lock(mutex_);
  sessions_.erase(ticket);
}

}  // namespace wgsim
