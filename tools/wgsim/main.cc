// SPDX-License-Identifier: MIT

// wgsim: a server-module simulator for trying and testing the gateway.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "account_file.h"
#include "account_store.h"
#include "audit_log.h"
#include "command_handler.h"
#include "event_log.h"
#include "options.h"
#include "server.h"
#include "tessaly/version.h"

namespace {

std::unique_ptr<wgsim::AccountStore> OpenStore(const wgsim::Options& options,
                                               std::vector<std::filesystem::path>& removed) {
  if (options.accounts.empty()) return std::make_unique<wgsim::AccountStore>(wgsim::AccountBook{});
  return wgsim::AccountStore::Open(options.accounts, &removed);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = wgsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "wgsim: " << error << "\nTry 'wgsim --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << wgsim::UsageText();
    return 0;
  }
  if (options->version) {
    std::cout << "wgsim " << tessaly::kVersion << "\n";
    return 0;
  }

  // Signals are taken by one thread with sigwait; every other thread,
  // started after this, has them blocked.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  // A reader of our standard streams that goes away must not end the
  // simulator; sockets are written with MSG_NOSIGNAL anyway.
  ::signal(SIGPIPE, SIG_IGN);

  // Session threads never write standard error themselves: a reader that
  // stops reading must not stop the serving.
  wgsim::EventLog log(STDERR_FILENO);
  std::unique_ptr<wgsim::AccountStore> store;
  std::vector<std::filesystem::path> removed;
  try {
    store = OpenStore(*options, removed);
  } catch (const std::exception& failure) {
    // The file is left exactly as it was.
    log.Write(failure.what());
    return 1;
  }
  for (const auto& path : removed) {
    log.Write("removed " + path.string() + ", left by a write that was cut off");
  }
  if (options->accounts.empty()) log.Write("no --accounts file: the accounts live in memory only");

  const auto to_log = [&log](const std::string& line) { log.Write(line); };
  const wgsim::AuditLog audit(wgsim::AuditLogPath(*options));
  const wgsim::CommandHandler handler(*store, audit, to_log);
  wgsim::ServerOptions server_options;
  server_options.listen = options->listen;
  server_options.secret = options->secret;
  server_options.banner = options->banner;
  server_options.limits.max_sessions = options->max_sessions;
  server_options.limits.max_per_address = options->max_per_address;
  server_options.timeout = options->timeout;
  server_options.secret_timeout = options->secret_timeout;
  server_options.warn = to_log;
  if (options->verbose) server_options.log = to_log;

  std::unique_ptr<wgsim::Server> server;
  try {
    server = std::make_unique<wgsim::Server>(server_options, handler);
  } catch (const std::system_error& failure) {
    log.Write(failure.what());
    return 1;
  }
  std::cout << "listening on " << server->address().ToString() << std::endl;

  std::atomic<bool> signalled{false};
  std::thread signal_waiter([&] {
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    signalled = true;
    server->Stop();
  });

  int status = 0;
  try {
    server->Run();
  } catch (const std::system_error& failure) {
    log.Write(failure.what());
    status = 1;
  }
  if (!signalled) pthread_kill(signal_waiter.native_handle(), SIGTERM);
  signal_waiter.join();
  server.reset();
  return status;
}
