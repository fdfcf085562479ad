// SPDX-License-Identifier: MIT

#include "reply_server.h"

#include <chrono>

#include "loopback.h"
#include "socket_headers.h"

namespace testing_support {
namespace {

// A client that sends nothing for this long is dropped.
constexpr int kIdleLimitMs = 5000;
// The longest line the server reads.
constexpr size_t kMaxLine = 64 * 1024;

}  // namespace

ReplyServer::ReplyServer(Responder responder, Options options)
    : responder_(std::move(responder)),
      options_(std::move(options)),
      greeting_asks_secret_(options_.greeting.find("secret string") != std::string::npos) {
  listener_ = BindServerLoopback(port_, SOMAXCONN, "reply server");
  for (int i = 0; i < options_.workers; ++i) workers_.emplace_back([this] { Work(); });
}

ReplyServer::~ReplyServer() {
  stopping_ = true;
  // Wakes the workers waiting for a client with a connection each; the
  // others, and those waiting for a client's line, see the flag within
  // kStopCheckMs.
  std::vector<UniqueSocket> wakes;
  for (size_t i = 0; i < workers_.size(); ++i) wakes.push_back(ConnectLoopback(port_));
  for (std::thread& worker : workers_) worker.join();
}

void ReplyServer::Work() {
  while (!stopping_) {
    WaitFor(listener_.get(), POLLIN, kStopCheckMs);
    if (stopping_) return;
    // Another worker may have taken the client: the listener never waits.
    UniqueSocket client = AcceptClient(listener_.get());
    if (!client) continue;
    ++connections_;
    Converse(client.get());
  }
}

void ReplyServer::Converse(int fd) {
  if (!SendAll(fd, options_.greeting) || !greeting_asks_secret_) return;
  std::string pending, line;
  if (!ReadLine(fd, pending, line)) return;
  if (line != options_.secret) {
    SendAll(fd, kModuleGoodbye);
    return;
  }
  if (!SendAll(fd, kModuleMasterPrompt) || !ReadLine(fd, pending, line)) return;
  ++commands_;
  const std::string reply = responder_(line);
  if (!reply.empty()) SendAll(fd, reply);
}

bool ReplyServer::ReadLine(int fd, std::string& pending, std::string& line) {
  for (;;) {
    const size_t end = pending.find("\r\n");
    if (end != std::string::npos) {
      line.assign(pending, 0, end);
      pending.erase(0, end + 2);
      return true;
    }
    if (pending.size() > kMaxLine) return false;
    short ready = 0;
    for (int waited = 0; ready == 0 && waited < kIdleLimitMs; waited += kStopCheckMs) {
      if (stopping_) return false;
      ready = WaitFor(fd, POLLIN, kStopCheckMs);
    }
    if (ready == 0) return false;
    char chunk[4096];
    const long got = RecvSome(fd, chunk, sizeof chunk);
    if (got <= 0) return false;
    pending.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace testing_support
