// SPDX-License-Identifier: MIT

// A TCP server on 127.0.0.1 that plays a fixed script with every client and
// records what each client sent. Tests use it to stand in for the server
// module, well-behaved or not.

#ifndef PLATFORM_TESTS_SUPPORT_SCRIPTED_SERVER_H_
#define PLATFORM_TESTS_SUPPORT_SCRIPTED_SERVER_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "socket_calls.h"

namespace testing_support {

// One step of the conversation with a client.
struct Step {
  enum class Kind {
    kSend,      // send `bytes` as they are
    kReadLine,  // read until CR LF (or until the client closes) and record it
    kPause,     // wait `pause`
    kClose,     // close the connection now
    kReset,     // abort the connection with a reset (RST)
    kCustom,    // run `action` on the connection's socket
  };
  Kind kind;
  std::string bytes;
  std::chrono::milliseconds pause{0};
  // For kCustom: what the step does with the client's socket.
  // Returning false ends the conversation (the connection is closed).
  std::function<bool(int fd)> action{};
};

Step Send(std::string bytes);
Step ReadLine();
Step Pause(std::chrono::milliseconds pause);
Step CloseNow();
Step ResetNow();
Step Custom(std::function<bool(int fd)> action);

class ScriptedServer {
 public:
  // Listens on 127.0.0.1 at a free port and plays `script` with each client
  // that connects, each on a thread of its own. After the last step the
  // connection is closed.
  explicit ScriptedServer(std::vector<Step> script);
  // Stops listening and waits for the conversations to end.
  ~ScriptedServer();

  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  uint16_t port() const { return port_; }

  // Everything each client sent, in the order the clients connected.
  std::vector<std::string> Received() const;

  // The number of clients accepted so far.
  int connections() const { return connections_.load(); }

 private:
  void AcceptLoop();
  void Converse(UniqueSocket client, size_t index);

  const std::vector<Step> script_;
  UniqueSocket listener_;
  uint16_t port_ = 0;
  // Set before the destructor wakes the accept loop with a connection of
  // its own.
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
  std::vector<std::thread> conversations_;
  std::thread acceptor_;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_SCRIPTED_SERVER_H_
