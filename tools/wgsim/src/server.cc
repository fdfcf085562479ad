// SPDX-License-Identifier: MIT

#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>
#include <utility>

#include "connection.h"
#include "session_protocol.h"

namespace wgsim {
namespace {

[[noreturn]] void Raise(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// The host part of a socket address, and "ADDR:PORT".
std::pair<std::string, std::string> AddressText(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = "?";
  if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    ::inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    return {text, "[" + std::string(text) + "]:" + std::to_string(ntohs(v6.sin6_port))};
  }
  const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
  ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
  return {text, std::string(text) + ":" + std::to_string(ntohs(v4.sin_port))};
}

const char* Describe(Connection::ReadResult result) {
  switch (result) {
    case Connection::ReadResult::kLine: return "sent a line";
    case Connection::ReadResult::kTooLong: return "sent a line that is too long";
    case Connection::ReadResult::kClosed: return "closed the connection";
    case Connection::ReadResult::kTimedOut: return "timed out";
    case Connection::ReadResult::kStopped: return "was stopped";
  }
  return "?";
}

}  // namespace

Server::Server(ServerOptions options, const CommandHandler& handler)
    : options_(std::move(options)),
      handler_(handler),
      address_(options_.listen),
      clients_(options_.limits) {
  sockaddr_storage storage{};
  socklen_t length;
  if (address_.ipv6) {
    auto& v6 = reinterpret_cast<sockaddr_in6&>(storage);
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(address_.port);
    ::inet_pton(AF_INET6, address_.host.c_str(), &v6.sin6_addr);
    length = sizeof v6;
  } else {
    auto& v4 = reinterpret_cast<sockaddr_in&>(storage);
    v4.sin_family = AF_INET;
    v4.sin_port = htons(address_.port);
    ::inet_pton(AF_INET, address_.host.c_str(), &v4.sin_addr);
    length = sizeof v4;
  }
  listener_.Reset(::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener_) Raise("cannot create a socket");
  const int yes = 1;
  ::setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&storage), length) != 0) {
    Raise("cannot listen on " + address_.ToString());
  }
  if (::listen(listener_.get(), 128) != 0) Raise("cannot listen on " + address_.ToString());
  length = sizeof storage;
  ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&storage), &length);
  address_.port = ntohs(address_.ipv6 ? reinterpret_cast<const sockaddr_in6&>(storage).sin6_port
                                      : reinterpret_cast<const sockaddr_in&>(storage).sin_port);

  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) Raise("cannot create a pipe");
  stop_read_.Reset(ends[0]);
  stop_write_.Reset(ends[1]);
}

Server::~Server() {
  Stop();
  ReapFinishedWorkers(/*all=*/true);
}

void Server::Stop() {
  // The byte stays in the pipe, so every poll that watches it wakes.
  const char byte = 's';
  (void)!::write(stop_write_.get(), &byte, 1);
}

void Server::Log(const std::string& line) const {
  if (options_.log) options_.log(line);
}

void Server::Warn(const std::string& line) const {
  if (options_.warn) {
    options_.warn(line);
  } else {
    Log(line);
  }
}

void Server::Run() {
  for (;;) {
    pollfd entries[2] = {{listener_.get(), POLLIN, 0}, {stop_read_.get(), POLLIN, 0}};
    // Wakes now and then to join the threads of sessions that ended.
    const int ready = ::poll(entries, 2, 1000);
    ReapFinishedWorkers(/*all=*/false);
    if (ready < 0 && errno != EINTR) Raise("poll");
    if (ready <= 0) continue;
    if (entries[1].revents != 0) break;
    if (entries[0].revents != 0) Accept();
  }
  ReapFinishedWorkers(/*all=*/true);
}

void Server::Accept() {
  for (;;) {
    sockaddr_storage peer_address{};
    socklen_t length = sizeof peer_address;
    platform::UniqueFd client(::accept4(listener_.get(), reinterpret_cast<sockaddr*>(&peer_address),
                                        &length, SOCK_CLOEXEC));
    if (!client) {
      // Out of descriptors or memory: the waiting client stays queued, and
      // a short pause keeps the loop from spinning until some are freed.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      return;  // nothing more waiting, or a transient failure
    }
    // Not a structured binding: older compilers cannot capture one in the
    // thread's lambda below.
    const auto address_text = AddressText(peer_address);
    const std::string& host = address_text.first;
    const std::string& peer = address_text.second;
    const ClientTable::Admission admission = clients_.Admit(host, client.get());
    if (!admission.evicted.empty()) {
      Warn(admission.evicted + " gave its session up to " + peer +
           ": it had not sent the secret yet");
    }
    if (!admission.ticket) {
      Refuse(std::move(client), peer, admission.reason);
      continue;
    }
    const uint64_t ticket = *admission.ticket;
    Worker& worker = workers_.emplace_back();
    try {
      worker.thread = std::thread([this, &worker, peer, ticket, fd = std::move(client)]() mutable {
        Serve(std::move(fd), peer, ticket);
        worker.done = true;
      });
    } catch (const std::system_error&) {
      // No thread for it: the fd went with the lambda that was not started.
      clients_.Leave(ticket);
      workers_.pop_back();
    }
  }
}

void Server::Refuse(platform::UniqueFd client, const std::string& peer, const std::string& reason) {
  // A fresh socket's send buffer takes the few bytes at once; nothing waits.
  const std::string busy = SessionProtocol::BusyGreeting();
  (void)!::send(client.get(), busy.data(), busy.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  ::shutdown(client.get(), SHUT_WR);
  Warn(peer + " refused: " + reason);
}

void Server::Serve(platform::UniqueFd fd, const std::string& peer, uint64_t ticket) {
  Connection connection(std::move(fd), stop_read_.get(), options_.timeout, options_.max_line_bytes);
  // The table may shut the socket down until the session leaves it, so it
  // leaves before the connection closes the socket.
  struct Leave {
    ClientTable& clients;
    uint64_t ticket;
    ~Leave() { clients.Leave(ticket); }
  } leave{clients_, ticket};
  SessionProtocol protocol(options_.secret, options_.banner, handler_, peer);
  Log(peer + " connected");
  if (!connection.SendAll(protocol.Greeting())) return Log(peer + " did not take the greeting");
  // The secret has a deadline of its own, shorter than a command's: a
  // client that knows it sends it at once.
  std::optional<std::chrono::milliseconds> deadline =
      std::min(options_.secret_timeout, options_.timeout);
  for (;;) {
    std::string line;
    const auto result = connection.ReadLine(line, std::exchange(deadline, std::nullopt));
    SessionProtocol::Step step;
    if (result == Connection::ReadResult::kLine) {
      step = protocol.OnLine(line);
    } else if (result == Connection::ReadResult::kTooLong) {
      step = protocol.OnLineTooLong();
    } else {
      return Log(peer + " " + Describe(result));
    }
    switch (step.event) {
      case SessionProtocol::Event::kSecretAccepted: clients_.Proved(ticket); break;
      case SessionProtocol::Event::kSecretRefused: {
        const auto [delay, count] = clients_.WrongSecret(ticket);
        Warn(peer + " sent a wrong secret (" + std::to_string(count) +
             " lately from its address); " + "answering in " + std::to_string(delay.count()) +
             " ms");
        if (!connection.Pause(delay)) return Log(peer + " was stopped");
        break;
      }
      case SessionProtocol::Event::kCommand:
        Log(peer + " " + step.command + ": " + step.reply);
        break;
      case SessionProtocol::Event::kNone: break;
    }
    if (!connection.SendAll(step.bytes)) return Log(peer + " did not take the reply");
    if (step.close) break;
  }
  clients_.Leave(ticket);
  connection.CloseGracefully();
  Log(peer + " done");
}

void Server::ReapFinishedWorkers(bool all) {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (all || it->done.load()) {
      if (it->thread.joinable()) it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace wgsim
