// SPDX-License-Identifier: MIT

#include "support/simulator_fixture.h"

#include <stdlib.h>

#include <fstream>

#include "account_file.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/tcp_socket.h"

namespace tools_testing {

using namespace std::chrono_literals;

const char* const kTestAccounts = R"([classes]
NEWUSER
PAYING
[system]
1 = 42
[user Alice Smith]
password = wonderland
credits = 100
days = 10
primary-class = PAYING
keys = FORUMS
online = yes
last-login = 20240102
created = 20200101
[user Sysop]
password = root
primary-class = PAYING
master = yes
protected = yes
)";

SimulatorTest::SimulatorTest(int max_sessions) {
  std::ofstream(dir_ / "accounts.txt", std::ios::binary) << kTestAccounts;
  store_ = wgsim::AccountStore::Open(dir_ / "accounts.txt");
  audit_ = std::make_unique<wgsim::AuditLog>(dir_ / "audit.log");
  handler_ = std::make_unique<wgsim::CommandHandler>(*store_, *audit_);
  wgsim::ServerOptions options;
  options.listen.port = 0;
  options.secret = kTestSecret;
  options.limits.max_sessions = max_sessions;
  options.timeout = 2000ms;
  options.secret_timeout = 1000ms;
  options.warn = [this](const std::string& line) {
    std::lock_guard lock(warnings_mutex_);
    warnings_.push_back(line);
  };
  server_ = std::make_unique<wgsim::Server>(options, *handler_);
  runner_ = std::thread([this] { server_->Run(); });

  ::setenv("WINDIR", dir_.path().c_str(), 1);
  morvane::WriteSettingsRecord(
      morvane::SettingsFilePath(),
      morvane::SettingsRecord::FromValues("127.0.0.1", "127.0.0.1", std::to_string(port())));
  platform::SetDefaultSocketTimeouts({.connect = 2000ms, .receive = 3000ms});
}

SimulatorTest::~SimulatorTest() {
  server_->Stop();
  runner_.join();
  server_.reset();
  ::unsetenv("WINDIR");
  platform::SetDefaultSocketTimeouts({});
}

std::vector<std::string> SimulatorTest::Warnings() const {
  std::lock_guard lock(warnings_mutex_);
  return warnings_;
}

wgsim::AccountBook SimulatorTest::BookOnDisk() const {
  return wgsim::ParseAccountFile(platform::ReadWholeFile((dir_ / "accounts.txt").string()),
                                 "on disk");
}

}  // namespace tools_testing
