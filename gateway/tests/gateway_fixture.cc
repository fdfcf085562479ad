// SPDX-License-Identifier: MIT

#include "gateway_fixture.h"

#include <stdlib.h>

#include <fstream>

#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/tcp_socket.h"

namespace morvane::testing {

using namespace std::chrono_literals;

std::vector<testing_support::Step> SessionAnswering(const std::string& reply) {
  using namespace testing_support;
  return {Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), Send(reply)};
}

GatewayTest::GatewayTest() {
  char pattern[] = "/tmp/morvane-test-XXXXXX";
  windir_ = ::mkdtemp(pattern);
  ::setenv("WINDIR", windir_.c_str(), 1);
  platform::SetDefaultSocketTimeouts({.connect = 2000ms, .receive = 2000ms});
}

GatewayTest::~GatewayTest() {
  server_.reset();
  std::filesystem::remove_all(windir_);
  ::unsetenv("WINDIR");
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
