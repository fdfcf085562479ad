// wgsim: a server-module simulator for trying and testing the gateway.

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <iostream>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "account_file.h"
#include "account_store.h"
#include "audit_log.h"
#include "command_handler.h"
#include "options.h"
#include "server.h"

namespace {

// Standard error shared by the session threads, one whole line at a time.
class ErrorLog {
 public:
  void Write(const std::string& line) {
    std::lock_guard lock(mutex_);
    std::cerr << "wgsim: " << line << std::endl;
  }

 private:
  std::mutex mutex_;
};

std::unique_ptr<wgsim::AccountStore> OpenStore(const wgsim::Options& options) {
  if (options.accounts.empty()) return std::make_unique<wgsim::AccountStore>(wgsim::AccountBook{});
  return wgsim::AccountStore::Open(options.accounts);
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

  ErrorLog log;
  std::unique_ptr<wgsim::AccountStore> store;
  try {
    store = OpenStore(*options);
  } catch (const std::exception& failure) {
    // The file is left exactly as it was.
    std::cerr << "wgsim: " << failure.what() << "\n";
    return 1;
  }
  if (options->accounts.empty()) log.Write("no --accounts file: the accounts live in memory only");

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

  const wgsim::AuditLog audit(wgsim::AuditLogPath(*options));
  const wgsim::CommandHandler handler(*store, audit, [&log](const std::string& line) { log.Write(line); });
  wgsim::ServerOptions server_options;
  server_options.listen = options->listen;
  server_options.secret = options->secret;
  server_options.banner = options->banner;
  server_options.max_sessions = options->max_sessions;
  server_options.timeout = options->timeout;
  if (options->verbose) server_options.log = [&log](const std::string& line) { log.Write(line); };

  std::unique_ptr<wgsim::Server> server;
  try {
    server = std::make_unique<wgsim::Server>(server_options, handler);
  } catch (const std::system_error& failure) {
    std::cerr << "wgsim: " << failure.what() << "\n";
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
