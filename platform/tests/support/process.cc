// SPDX-License-Identifier: MIT

#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testing_support {
namespace {

using Clock = std::chrono::steady_clock;

struct Pipe {
  platform::UniqueFd read, write;
  Pipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    read.Reset(ends[0]);
    write.Reset(ends[1]);
  }
};

std::vector<std::string> MergedEnvironment(const Environment& extra) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (extra.count(name) == 0) merged.push_back(text);
  }
  for (const auto& [name, value] : extra) merged.push_back(name + "=" + value);
  return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Starts `argv` with the three given descriptors as its standard streams.
pid_t Spawn(const std::vector<std::string>& argv, const Environment& env, int in, int out,
            int err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  std::vector<std::string> args = argv;
  std::vector<std::string> environment = MergedEnvironment(env);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, args[0].c_str(), &actions, nullptr, Pointers(args).data(),
                                   Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
  return pid;
}

// Reads what is available on `fd` into `buffer`; false at end of file.
bool Drain(int fd, std::string& buffer) {
  char chunk[4096];
  const ssize_t got = ::read(fd, chunk, sizeof chunk);
  if (got > 0) buffer.append(chunk, static_cast<size_t>(got));
  return got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR));
}

int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Waits at most `timeout` for `pid` to end; its exit code, or nullopt.
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return ExitCode(status);
    if (done < 0) return -1;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const Environment& env,
                         const std::string& input, std::chrono::milliseconds timeout) {
  Pipe in, out, err;
  const pid_t pid = Spawn(argv, env, in.read.get(), out.write.get(), err.write.get());
  in.read.Reset();
  out.write.Reset();
  err.write.Reset();
  // The input is small; a closed pipe (the child did not read) is fine.
  ::signal(SIGPIPE, SIG_IGN);
  (void)!::write(in.write.get(), input.data(), input.size());
  in.write.Reset();

  ProcessResult result;
  const Clock::time_point deadline = Clock::now() + timeout;
  bool out_open = true, err_open = true;
  while ((out_open || err_open) && Clock::now() < deadline) {
    pollfd entries[2] = {{out_open ? out.read.get() : -1, POLLIN, 0},
                         {err_open ? err.read.get() : -1, POLLIN, 0}};
    if (::poll(entries, 2, 100) <= 0) continue;
    if (entries[0].revents != 0) out_open = Drain(out.read.get(), result.out);
    if (entries[1].revents != 0) err_open = Drain(err.read.get(), result.err);
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  auto code = WaitFor(pid, std::max(left, std::chrono::milliseconds(0)));
  if (!code) {
    ::kill(pid, SIGKILL);
    WaitFor(pid, std::chrono::seconds(5));
    code = -1;
  }
  result.exit_code = *code;
  return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv, const Environment& env) {
  Pipe out, err;
  platform::UniqueFd null_input(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  pid_ = Spawn(argv, env, null_input.get(), out.write.get(), err.write.get());
  out_ = std::move(out.read);
  err_ = std::move(err.read);
  ::fcntl(err_.get(), F_SETFL, O_NONBLOCK);
}

BackgroundProcess::~BackgroundProcess() {
  if (!reaped_) Stop(SIGKILL);
}

std::optional<std::string> BackgroundProcess::ReadLine(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const size_t end = out_buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = out_buffer_.substr(0, end);
      out_buffer_.erase(0, end + 1);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd entry{out_.get(), POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    if (!Drain(out_.get(), out_buffer_)) return std::nullopt;
  }
}

int BackgroundProcess::Stop(int signal, std::chrono::milliseconds timeout) {
  if (reaped_) return -1;
  ::kill(pid_, signal);
  auto code = WaitFor(pid_, timeout);
  if (!code) {
    ::kill(pid_, SIGKILL);
    WaitFor(pid_, std::chrono::seconds(5));
    code = -1;
  }
  reaped_ = true;
  Errors();
  return *code;
}

std::string BackgroundProcess::Errors() {
  for (;;) {
    pollfd entry{err_.get(), POLLIN, 0};
    if (::poll(&entry, 1, 0) <= 0) break;
    char chunk[4096];
    const ssize_t got = ::read(err_.get(), chunk, sizeof chunk);
    if (got <= 0) break;
    err_buffer_.append(chunk, static_cast<size_t>(got));
  }
  return err_buffer_;
}

}  // namespace testing_support
