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
// How often a worker waiting for a client's line looks whether the server
// stops.
constexpr int kStopCheckMs = 50;

}  // namespace

ReplyServer::ReplyServer(Responder responder, Options options)
    : responder_(std::move(responder)),
      options_(std::move(options)),
      greeting_asks_secret_(options_.greeting.find("secret string") != std::string::npos) {
  listener_ = BindLoopback(port_, SOMAXCONN, "reply server");
  for (int i = 0; i < options_.workers; ++i) workers_.emplace_back([this] { Work(); });
}

ReplyServer::~ReplyServer() {
  stopping_ = true;
  // Wakes the workers blocked in accept with a connection each, which the
  // listener queues at once; those waiting for a client's line see the
  // flag within kStopCheckMs.
  std::vector<UniqueSocket> wakes;
  const sockaddr_in to = LoopbackAddress(port_);
  for (size_t i = 0; i < workers_.size(); ++i) {
    UniqueSocket wake = NewTcpSocket();
    if (wake) ::connect(wake.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to);
    wakes.push_back(std::move(wake));
  }
  for (std::thread& worker : workers_) worker.join();
}

void ReplyServer::Work() {
  while (!stopping_) {
    UniqueSocket client = AcceptClient(listener_.get());
    if (stopping_) return;
    if (!client) {
      // EINTR, ECONNABORTED or a passing shortage of descriptors: try again.
      std::this_thread::yield();
      continue;
    }
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
