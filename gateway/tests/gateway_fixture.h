// SPDX-License-Identifier: MIT

// Test support for the gateway: a private Windows directory with a settings
// file that points at a scripted server on 127.0.0.1, and scripts that play
// the server module's side of a session.

#ifndef GATEWAY_TESTS_GATEWAY_FIXTURE_H_
#define GATEWAY_TESTS_GATEWAY_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "raised_error.h"
#include "scripted_server.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/error.h"

namespace morvane::testing {

// Bytes as the server module sends them (Windows-1252).
inline constexpr const char* kGreeting =
    "Welcome to the host\r\nPlease enter your secret string to continue.\xF5\xF5";
inline constexpr const char* kMasterPrompt = "What is your wish my master?\xF5\xF5";

// The steps of a session that opens and answers the command with `reply`.
std::vector<testing_support::Step> SessionAnswering(const std::string& reply);

class GatewayTest : public ::testing::Test {
 protected:
  // A temporary directory of the test's own, with short socket timeouts.
  // Where the system lets a test choose the Windows directory (POSIX,
  // through WINDIR) it is that directory; on Windows the settings file
  // stays in the system's Windows directory, and whatever it held before
  // is put back afterwards.
  GatewayTest();
  ~GatewayTest() override;

  // Writes the 60-byte settings record (remote host, local host, port).
  void WriteSettings(const std::string& remote, const std::string& local, const std::string& port);
  // Settings that point at `port` on 127.0.0.1.
  void PointAt(uint16_t port);
  // Writes raw bytes as the settings file.
  void WriteSettingsBytes(const std::string& bytes);

  // Starts a server that answers the command with `reply` and points the
  // settings at it.
  testing_support::ScriptedServer& Serve(const std::string& reply);
  // Starts a server that plays `script` and points the settings at it.
  testing_support::ScriptedServer& ServeScript(std::vector<testing_support::Step> script);

  // The command line the client sent in its only session (after the secret).
  std::string SentCommand() const;
  // Everything the client sent in its only session.
  std::string SentBytes() const;

  // The test's own directory (see the constructor).
  const std::filesystem::path& windir() const { return windir_; }

  WG wg_;

 private:
  std::filesystem::path windir_;
  // On Windows: the settings file's bytes before the test, if it existed.
  std::optional<std::string> saved_settings_;
  bool settings_saved_ = false;
  std::unique_ptr<testing_support::ScriptedServer> server_;
};

using testing_support::RaisedError;

// A CommandReturn written out for comparisons.
CommandReturn Result(int32_t number, const std::string& description, int32_t long_value,
                     const std::string& string_value);

}  // namespace morvane::testing

#endif  // GATEWAY_TESTS_GATEWAY_FIXTURE_H_
