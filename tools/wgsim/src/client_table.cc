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
  max_waiting_ = limits_.max_sessions - limits_.max_sessions / kReservedQuarter;
  if (limits_.max_per_address <= 0) limits_.max_per_address = max_waiting_;
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

ClientTable::Sessions::iterator ClientTable::PushOutCandidate(
    const std::string& address, bool own, const std::unordered_map<std::string, int>& waiting) {
  int most = 0;
  for (const auto& [holder, count] : waiting) most = std::max(most, count);
  // The map is in order of arrival: the first match is the oldest.
  return std::find_if(sessions_.begin(), sessions_.end(), [&](const auto& entry) {
    const Session& session = entry.second;
    if (!session.waiting) return false;
    if (own) return session.address == address;
    const auto count = waiting.find(session.address);
    return count != waiting.end() && count->second == most;
  });
}

ClientTable::Admission ClientTable::Admit(const std::string& address, int fd,
                                          Clock::time_point now) {
  std::lock_guard lock(mutex_);
  std::unordered_map<std::string, int> waiting;
  int all_waiting = 0;
  for (const auto& [ticket, session] : sessions_) {
    if (!session.waiting) continue;
    ++waiting[session.address];
    ++all_waiting;
  }
  Admission admission;
  // Its thread sees the connection end and calls Leave, which then finds
  // nothing to do.
  const auto push_out = [&](Sessions::iterator session) {
    ::shutdown(session->second.fd, SHUT_RDWR);
    if (!admission.evicted.empty()) admission.evicted += ", ";
    admission.evicted += session->second.address;
    if (--waiting[session->second.address] == 0) waiting.erase(session->second.address);
    --all_waiting;
    sessions_.erase(session);
  };
  const auto own = waiting.find(address);
  if (own != waiting.end() && own->second >= limits_.max_per_address) {
    push_out(PushOutCandidate(address, /*own=*/true, waiting));
  }
  const int waiting_limit = Trusted(address, now) ? limits_.max_sessions : max_waiting_;
  const int total = static_cast<int>(sessions_.size());
  if (total >= limits_.max_sessions || all_waiting >= waiting_limit) {
    const auto candidate = PushOutCandidate(address, /*own=*/false, waiting);
    if (candidate == sessions_.end()) {
      admission.reason = std::to_string(total) + " sessions already running";
      return admission;
    }
    push_out(candidate);
  }
  const uint64_t ticket = next_ticket_++;
  sessions_.emplace(ticket, Session{address, fd, true});
  admission.ticket = ticket;
  return admission;
}

void ClientTable::Proved(uint64_t ticket, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(ticket);
  if (it == sessions_.end()) return;
  it->second.waiting = false;
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
