// SPDX-License-Identifier: MIT

// The simulator's TCP server: accepts clients and runs one SessionProtocol
// per connection, each on a thread of its own.
//
// Limits keep one client from harming the others: at most
// `limits.max_sessions` sessions at once, shared out by a ClientTable (a
// client beyond them gets the busy greeting and is closed); the secret must
// arrive within `secret_timeout`, each later line whole within `timeout`,
// each at most `max_line_bytes` long; a reply that the client does not take
// within `timeout` ends its session; wrong secrets are answered after a
// delay that grows for each address.

#ifndef WGSIM_SRC_SERVER_H_
#define WGSIM_SRC_SERVER_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "client_table.h"
#include "command_handler.h"
#include "listen_address.h"
#include "tessaly/platform/unique_fd.h"

namespace wgsim {

struct ServerOptions {
  ListenAddress listen;
  std::string secret;
  std::string banner;
  std::chrono::milliseconds timeout{10000};
  std::chrono::milliseconds secret_timeout{3000};
  size_t max_line_bytes = 4096;
  // Who gets a session: the session limits overall and per address, and
  // the tuning of the ClientTable.
  ClientLimits limits;
  // Receives one line per session event (opened, command, ended); may be empty.
  std::function<void(const std::string&)> log;
  // Receives the events an operator must see even without `log`: wrong
  // secrets, refused and evicted clients; may be empty.
  std::function<void(const std::string&)> warn;
};

class Server {
 public:
  // Listens on options.listen. Raises std::system_error when the address
  // cannot be bound. `handler` must outlive the server.
  Server(ServerOptions options, const CommandHandler& handler);
  // Stops, then waits for every session to end.
  ~Server();

  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // The address listened on, with the port actually bound.
  const ListenAddress& address() const { return address_; }

  // Accepts and serves clients until Stop. Call once.
  void Run();

  // Makes Run return and every session end soon. Thread-safe; may come
  // before Run.
  void Stop();

 private:
  struct Worker {
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void Accept();
  void Refuse(platform::UniqueFd client, const std::string& peer, const std::string& reason);
  void Serve(platform::UniqueFd fd, const std::string& peer, uint64_t ticket);
  void ReapFinishedWorkers(bool all);
  void Log(const std::string& line) const;
  void Warn(const std::string& line) const;

  const ServerOptions options_;
  const CommandHandler& handler_;
  ListenAddress address_;
  platform::UniqueFd listener_;
  platform::UniqueFd stop_read_, stop_write_;
  ClientTable clients_;
  std::list<Worker> workers_;  // touched by the thread in Run only
};

}  // namespace wgsim

#endif  // WGSIM_SRC_SERVER_H_
