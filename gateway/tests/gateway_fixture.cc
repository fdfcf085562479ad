// SPDX-License-Identifier: MIT

#include "gateway_fixture.h"

#include <fstream>
#include <sstream>

#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/tcp_socket.h"
#include "test_system.h"

namespace morvane::testing {

using namespace std::chrono_literals;

std::vector<testing_support::Step> SessionAnswering(const std::string& reply) {
  using namespace testing_support;
  return {Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), Send(reply)};
}

namespace {

// The bytes of the file at `path`, or nullopt when there is none.
std::optional<std::string> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

GatewayTest::GatewayTest() : windir_(testing_support::MakeTemporaryDirectory("morvane-test")) {
  if (!testing_support::UseWindowsDirectory(windir_)) {
    saved_settings_ = FileBytes(SettingsFilePath());
    settings_saved_ = true;
  }
  platform::SetDefaultSocketTimeouts({.connect = 2000ms, .receive = 2000ms});
}

GatewayTest::~GatewayTest() {
  server_.reset();
  std::filesystem::remove_all(windir_);
  testing_support::ForgetWindowsDirectory();
  if (settings_saved_) {
    std::error_code ignored;
    if (saved_settings_) {
      std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc) << *saved_settings_;
    } else {
      std::filesystem::remove(SettingsFilePath(), ignored);
    }
  }
  platform::SetDefaultSocketTimeouts({});
}

void GatewayTest::WriteSettings(const std::string& remote, const std::string& local,
                                const std::string& port) {
  WriteSettingsRecord(SettingsFilePath(), SettingsRecord::FromValues(remote, local, port));
}

void GatewayTest::PointAt(uint16_t port) {
  WriteSettings("127.0.0.1", "127.0.0.1", std::to_string(port));
}

void GatewayTest::WriteSettingsBytes(const std::string& bytes) {
  std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc) << bytes;
}

testing_support::ScriptedServer& GatewayTest::Serve(const std::string& reply) {
  return ServeScript(SessionAnswering(reply));
}

testing_support::ScriptedServer& GatewayTest::ServeScript(
    std::vector<testing_support::Step> script) {
  server_ = std::make_unique<testing_support::ScriptedServer>(std::move(script));
  PointAt(server_->port());
  return *server_;
}

std::string GatewayTest::SentBytes() const {
  const auto received = server_->Received();
  EXPECT_EQ(received.size(), 1u);
  return received.empty() ? "" : received.front();
}

std::string GatewayTest::SentCommand() const {
  const std::string bytes = SentBytes();
  const size_t end_of_secret = bytes.find("\r\n");
  return end_of_secret == std::string::npos ? "" : bytes.substr(end_of_secret + 2);
}

CommandReturn Result(int32_t number, const std::string& description, int32_t long_value,
                     const std::string& string_value) {
  return {{number, description}, long_value, string_value};
}

}  // namespace morvane::testing
