// SPDX-License-Identifier: MIT

// A stand-in for the server module that serves many clients at once, for
// load tests and the benchmark. Each connection gets the greeting, must
// send the secret phrase on a line, gets the master prompt (or "Goodbye."
// for a wrong phrase), sends one command line and gets the answer of a
// responder; then the server closes the connection.
//
// Listens on 127.0.0.1 only. A fixed pool of workers serves the
// connections, each worker one connection at a time.

#ifndef PLATFORM_TESTS_SUPPORT_REPLY_SERVER_H_
#define PLATFORM_TESTS_SUPPORT_REPLY_SERVER_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "socket_calls.h"

namespace testing_support {

// The server module's handshake as it sends it (Windows-1252).
inline constexpr std::string_view kModuleGreeting =
    "Welcome to the host\r\nPlease enter your secret string to continue.\xF5\xF5";
inline constexpr std::string_view kModuleBusyGreeting =
    "Sorry, already too many requests.  Try again later!\xF5\xF5";
inline constexpr std::string_view kModuleMasterPrompt = "What is your wish my master?\xF5\xF5";
inline constexpr std::string_view kModuleGoodbye = "Goodbye.\xF5\xF5";

class ReplyServer {
 public:
  // The bytes the server answers to one command line, given without its
  // CR LF. Called on the workers' threads, so it must be thread-safe. An
  // empty answer closes the connection without a reply.
  using Responder = std::function<std::string(std::string_view line)>;

  struct Options {
    // Sent as soon as a connection is accepted. A greeting without the
    // secret prompt (such as kModuleBusyGreeting) ends the conversation
    // after it.
    std::string greeting{kModuleGreeting};
    std::string secret = "s3cret";
    // Connections served at the same time; further clients wait in the
    // listen queue.
    int workers = 4;
  };

  // Starts listening on 127.0.0.1 at a free port. Throws
  // std::runtime_error when it cannot.
  ReplyServer(Responder responder, Options options);
  explicit ReplyServer(Responder responder) : ReplyServer(std::move(responder), Options()) {}
  // Stops listening, breaks off the conversations under way and waits for
  // the workers.
  ~ReplyServer();

  ReplyServer(const ReplyServer&) = delete;
  ReplyServer& operator=(const ReplyServer&) = delete;

  uint16_t port() const { return port_; }

  // Connections accepted so far.
  uint64_t connections() const { return connections_.load(); }
  // Command lines received so far (sessions that passed the handshake).
  uint64_t commands() const { return commands_.load(); }

 private:
  void Work();
  void Converse(int fd);
  // The next line from `fd` without its CR LF, reading into `pending`;
  // false when the client closed, went silent for long or the server stops
  // (which it looks at every kStopCheckMs).
  bool ReadLine(int fd, std::string& pending, std::string& line);

  const Responder responder_;
  const Options options_;
  const bool greeting_asks_secret_;
  UniqueSocket listener_;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> connections_{0};
  std::atomic<uint64_t> commands_{0};
  std::vector<std::thread> workers_;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_REPLY_SERVER_H_
