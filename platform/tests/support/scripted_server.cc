// SPDX-License-Identifier: MIT

#include "scripted_server.h"

#include "loopback.h"
#include "socket_headers.h"

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
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
  // The accept loop wakes for a connection of our own, finds it is to
  // stop, and ends; the listener queues the connection at once.
  stopping_ = true;
  UniqueSocket wake = NewTcpSocket();
  const sockaddr_in to = LoopbackAddress(port_);
  if (wake) ::connect(wake.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to);
  acceptor_.join();
  for (std::thread& conversation : conversations_) conversation.join();
}

std::vector<std::string> ScriptedServer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void ScriptedServer::AcceptLoop() {
  for (;;) {
    UniqueSocket client = AcceptClient(listener_.get());
    if (stopping_) return;
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

void ScriptedServer::Converse(UniqueSocket client, size_t index) {
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
        while (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) {
          if (WaitFor(fd, POLLIN, 5000) == 0 || RecvSome(fd, &c, 1) != 1) break;
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
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort_on_close),
                     sizeof abort_on_close);
        return;
      }
      case Step::Kind::kCustom:
        if (!step.action(fd)) return;
        break;
    }
  }
}

}  // namespace testing_support
