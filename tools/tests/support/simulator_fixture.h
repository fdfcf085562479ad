// SPDX-License-Identifier: MIT

// A wgsim server running inside the test process on 127.0.0.1, over a
// copy of a small account file, with a private Windows directory whose
// settings file points the gateway at it.

#ifndef TOOLS_TESTS_SUPPORT_SIMULATOR_FIXTURE_H_
#define TOOLS_TESTS_SUPPORT_SIMULATOR_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "account_store.h"
#include "audit_log.h"
#include "command_handler.h"
#include "server.h"
#include "support/temp_dir.h"

namespace tools_testing {

// The accounts every simulator test starts with.
extern const char* const kTestAccounts;
// The secret phrase of the test simulator.
inline constexpr const char* kTestSecret = "s3cret";

class SimulatorTest : public ::testing::Test {
 protected:
  // Starts the server with at most `max_sessions` sessions, a timeout of
  // 2 s and 1 s for the secret, and points WINDIR at a directory whose
  // settings file names it.
  explicit SimulatorTest(int max_sessions = 16);
  ~SimulatorTest() override;

  // The account file as it is on disk now.
  wgsim::AccountBook BookOnDisk() const;
  // The server's warnings so far (wrong secrets, refused clients, ...).
  std::vector<std::string> Warnings() const;
  uint16_t port() const { return server_->address().port; }

  TempDir dir_;
  std::unique_ptr<wgsim::AccountStore> store_;
  std::unique_ptr<wgsim::AuditLog> audit_;
  std::unique_ptr<wgsim::CommandHandler> handler_;
  std::unique_ptr<wgsim::Server> server_;

 private:
  mutable std::mutex warnings_mutex_;
  std::vector<std::string> warnings_;
  std::thread runner_;
};

}  // namespace tools_testing

#endif  // TOOLS_TESTS_SUPPORT_SIMULATOR_FIXTURE_H_
