// SPDX-License-Identifier: MIT

#include "reply_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>

#include "loopback.h"

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
  listener_ = BindLoopback(port_, SOMAXCONN, "reply server");
  int pipe_ends[2];
  if (::pipe2(pipe_ends, O_CLOEXEC) != 0) throw std::runtime_error("reply server: pipe");
  stop_read_.Reset(pipe_ends[0]);
  stop_write_.Reset(pipe_ends[1]);
  for (int i = 0; i < options_.workers; ++i) workers_.emplace_back([this] { Work(); });
}

ReplyServer::~ReplyServer() {
  stopping_ = true;
  // Wakes the workers blocked in accept (it then fails) and those waiting
  // for a client's line (the stop pipe becomes readable).
  ::shutdown(listener_.get(), SHUT_RDWR);
  const char stop = 's';
  (void)!::write(stop_write_.get(), &stop, 1);
  for (std::thread& worker : workers_) worker.join();
}

void ReplyServer::Work() {
  while (!stopping_) {
    platform::UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client) {
      if (stopping_) return;
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
    pollfd entries[2] = {{fd, POLLIN, 0}, {stop_read_.get(), POLLIN, 0}};
    const int ready = ::poll(entries, 2, kIdleLimitMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || entries[1].revents != 0) return false;
    char chunk[4096];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    pending.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace testing_support
