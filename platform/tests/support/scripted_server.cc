// SPDX-License-Identifier: MIT

#include "scripted_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "loopback.h"

namespace testing_support {

Step Send(std::string bytes) { return {Step::Kind::kSend, std::move(bytes)}; }
Step ReadLine() { return {Step::Kind::kReadLine, {}}; }
Step Pause(std::chrono::milliseconds pause) { return {Step::Kind::kPause, {}, pause}; }
Step CloseNow() { return {Step::Kind::kClose, {}}; }
Step ResetNow() { return {Step::Kind::kReset, {}}; }
Step Custom(std::function<bool(int fd)> action) {
  return {Step::Kind::kCustom, {}, {}, std::move(action)};
}

ScriptedServer::ScriptedServer(std::vector<Step> script) : script_(std::move(script)) {
  listener_ = BindLoopback(port_, 64, "scripted server");
  int pipe_ends[2];
  if (::pipe2(pipe_ends, O_CLOEXEC) != 0) throw std::runtime_error("scripted server: pipe");
  stop_read_.Reset(pipe_ends[0]);
  stop_write_.Reset(pipe_ends[1]);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
  const char stop = 's';
  (void)!::write(stop_write_.get(), &stop, 1);
  acceptor_.join();
  for (std::thread& conversation : conversations_) conversation.join();
}

std::vector<std::string> ScriptedServer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void ScriptedServer::AcceptLoop() {
  for (;;) {
    pollfd entries[2] = {{listener_.get(), POLLIN, 0}, {stop_read_.get(), POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) continue;
    if (entries[1].revents != 0) return;
    platform::UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client) continue;
    size_t index;
    {
      std::lock_guard lock(mutex_);
      index = received_.size();
      received_.emplace_back();
    }
    ++connections_;
    conversations_.emplace_back(
        [this, index, fd = std::move(client)]() mutable { Converse(std::move(fd), index); });
  }
}

void ScriptedServer::Converse(platform::UniqueFd client, size_t index) {
  const int fd = client.get();
  for (const Step& step : script_) {
    switch (step.kind) {
      case Step::Kind::kSend:
        if (!SendAll(fd, step.bytes)) return;
        break;
      case Step::Kind::kReadLine: {
        std::string line;
        char c;
        // Bounded so that a stopping test never waits on a silent client.
        pollfd entry{fd, POLLIN, 0};
        while (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) {
          if (::poll(&entry, 1, 5000) <= 0 || ::recv(fd, &c, 1, 0) != 1) break;
          line += c;
        }
        std::lock_guard lock(mutex_);
        received_[index] += line;
        break;
      }
      case Step::Kind::kPause: std::this_thread::sleep_for(step.pause); break;
      case Step::Kind::kClose: return;
      case Step::Kind::kReset: {
        const linger abort_on_close{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
        return;
      }
      case Step::Kind::kCustom:
        if (!step.action(fd)) return;
        break;
    }
  }
}

}  // namespace testing_support
