// SPDX-License-Identifier: MIT

// The built programs as processes over loopback: wgsim started like a
// user would, morvane run against it with a settings file in a private
// Windows directory.

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "account_file.h"
#include "process.h"
#include "support/raw_client.h"
#include "support/simulator_fixture.h"
#include "support/temp_dir.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/file_system.h"

namespace tools_testing {

using testing_support::BackgroundProcess;
using testing_support::Environment;
using testing_support::ProcessResult;
using testing_support::RunProcess;
namespace {

using namespace std::chrono_literals;

const std::string kWgsim = WGSIM_PATH;
const std::string kMorvane = MORVANE_PATH;

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() { std::ofstream(accounts_, std::ios::binary) << kTestAccounts; }

  // Starts wgsim on a free loopback port and writes the settings file.
  void StartSimulator(std::vector<std::string> extra = {}) {
    std::vector<std::string> argv = {kWgsim,       "--listen",         "127.0.0.1:0",
                                     "--accounts", accounts_.string(), "--secret",
                                     kTestSecret,  "--timeout",        "3000"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    wgsim_ = std::make_unique<BackgroundProcess>(argv);
    const auto line = wgsim_->ReadLine();
    ASSERT_TRUE(line && line->starts_with("listening on 127.0.0.1:")) << wgsim_->Errors();
    port_ = static_cast<uint16_t>(std::stoi(line->substr(line->rfind(':') + 1)));
    ASSERT_NE(port_, 0);
    WriteSettings(std::to_string(port_));
  }

  void WriteSettings(const std::string& port) {
    const std::string record(
        morvane::SettingsRecord::FromValues("127.0.0.1", "127.0.0.1", port).bytes());
    std::ofstream(windir_ / "morvane.ini", std::ios::binary | std::ios::trunc) << record;
  }

  ProcessResult Morvane(const std::vector<std::string>& args, const std::string& input = "") {
    std::vector<std::string> argv = {kMorvane};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, {{"WINDIR", windir_.string()}}, input);
  }

  wgsim::AccountBook BookOnDisk() const {
    return wgsim::ParseAccountFile(platform::ReadWholeFile(accounts_.string()), "on disk");
  }

  TempDir dir_;
  std::filesystem::path accounts_ = dir_ / "accounts.txt";
  std::filesystem::path windir_ = [this] {
    std::filesystem::create_directory(dir_ / "windows");
    return dir_ / "windows";
  }();
  std::unique_ptr<BackgroundProcess> wgsim_;
  uint16_t port_ = 0;
};

TEST_F(EndToEndTest, TheJsonContractAndTheExitStatuses) {
  StartSimulator();
  ProcessResult run = Morvane({"--json", "numberOFcredits", kTestSecret, "Alice Smith"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"error_number\": 0, \"error_description\": \"No error occured, return value is a "
            "literal answer\", \"answer_long\": 100, \"answer_string\": \"\"}\n");

  run = Morvane({"--json", "SwitchClass", kTestSecret, "Alice Smith", "GOLD"});
  EXPECT_EQ(run.exit_code, 0) << "an error_number is still a returned member";
  EXPECT_EQ(
      run.out,
      "{\"error_number\": -107, \"error_description\": \"No such class\", \"answer_long\": 0, "
      "\"answer_string\": \"Error\"}\n");

  run = Morvane({"GiveCredits", kTestSecret, "Alice Smith", "lots"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("usage: morvane"), std::string::npos);

  run = Morvane({"UserIDExist", kTestSecret, "Alice Smith"});
  EXPECT_EQ(run.exit_code, 2) << "an unknown member";

  WriteSettings("not a port");
  run = Morvane({"UserIDExists", kTestSecret, "Alice Smith"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "error 13: Type mismatch\n");
  EXPECT_EQ(run.out, "");
}

TEST_F(EndToEndTest, AChangeThroughTheGatewayIsInTheFileEvenAfterAKill) {
  StartSimulator();
  // The secret comes on standard input, out of the process list.
  ProcessResult run = Morvane({"--secret-stdin", "GiveCredits", "Alice Smith", "-25"},
                              std::string(kTestSecret) + "\n");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("answer_long: 1\n"), std::string::npos) << run.out;
  run = Morvane({"SuspendUser", kTestSecret, "alice smith"});
  EXPECT_NE(run.out.find("answer_long: 1\n"), std::string::npos) << run.out;

  EXPECT_EQ(wgsim_->Stop(SIGKILL), 128 + SIGKILL);
  const wgsim::AccountBook book = BookOnDisk();
  EXPECT_EQ(book.Find("Alice Smith")->credits, 75);
  EXPECT_TRUE(book.Find("Alice Smith")->suspended);
}

TEST_F(EndToEndTest, AWrongSecretPhraseChangesNothing) {
  StartSimulator();
  const ProcessResult run = Morvane({"--json", "GiveCredits", "guess", "Alice Smith", "5"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out,
            "{\"error_number\": -503, \"error_description\": \"Error Code -503: Incorrect secret "
            "phrase.\", \"answer_long\": 0, \"answer_string\": \"Error\"}\n");
  EXPECT_EQ(BookOnDisk().Find("Alice Smith")->credits, 100);
}

TEST_F(EndToEndTest, BeyondMaxSessionsTheBusyGreeting) {
  StartSimulator({"--max-sessions", "1"});
  // A session past the secret keeps its slot; one still waiting would give
  // it up to the newcomer.
  RawClient holder(port_);
  ASSERT_EQ(holder.ReadAnswer(), "Please enter your secret string to continue.\xF5\xF5");
  holder.Send(std::string(kTestSecret) + "\r\n");
  ASSERT_EQ(holder.ReadAnswer(), "What is your wish my master?\xF5\xF5");
  const ProcessResult run = Morvane({"--json", "UserIDExists", kTestSecret, "Alice Smith"});
  EXPECT_EQ(
      run.out,
      "{\"error_number\": -501, \"error_description\": \"Error Code -501: Server too busy, try "
      "again later.\", \"answer_long\": 0, \"answer_string\": \"\"}\n");
}

TEST_F(EndToEndTest, ConcurrentClients) {
  StartSimulator();
  constexpr int kClients = 12;
  std::atomic<int> confirmed{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&] {
      const ProcessResult run = Morvane({"GiveCredits", kTestSecret, "Alice Smith", "1"});
      if (run.exit_code == 0 && run.out.find("answer_long: 1\n") != std::string::npos) ++confirmed;
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(confirmed.load(), kClients);
  EXPECT_EQ(BookOnDisk().Find("Alice Smith")->credits, 100 + kClients);
  EXPECT_EQ(wgsim_->Stop(SIGTERM), 0) << "a clean stop";
}

TEST_F(EndToEndTest, ADamagedAccountFileStopsTheSimulatorAndIsKept) {
  const std::string damaged = std::string(kTestAccounts) + "credits = many\n";
  std::ofstream(accounts_, std::ios::binary | std::ios::trunc) << damaged;
  const ProcessResult run =
      RunProcess({kWgsim, "--listen", "127.0.0.1:0", "--accounts", accounts_.string()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "") << "it never listened";
  EXPECT_NE(run.err.find("accounts.txt:20: credits: \"many\" is not a 32-bit whole number"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(platform::ReadWholeFile(accounts_.string()), damaged);
}

TEST_F(EndToEndTest, TheSimulatorListensOnLoopbackUnlessToldOtherwise) {
  const ProcessResult run =
      RunProcess({kWgsim, "--listen", "0.0.0.0:0", "--accounts", accounts_.string()});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("--allow-remote"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace tools_testing
