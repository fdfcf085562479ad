// SPDX-License-Identifier: MIT

#include "tessaly/platform/program_start.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "raised_error.h"
#include "tessaly/platform/error.h"
#include "test_system.h"

namespace platform {
namespace {

using testing_support::RaisedError;

class ProgramStart : public ::testing::Test {
 protected:
  ProgramStart() : dir_(testing_support::MakeTemporaryDirectory("start")) {}
  ~ProgramStart() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
};

TEST_F(ProgramStart, FailedStartsRaiseTheFileError) {
  EXPECT_EQ(RaisedError([&] { StartProgram((dir_ / "missing").string()); }), kFileNotFound);
  EXPECT_EQ(RaisedError([] { StartProgram(""); }), kFileNotFound);
  std::ofstream(dir_ / "plain") << "not a program\n";
  EXPECT_EQ(RaisedError([&] { StartProgram((dir_ / "plain").string()); }), kPermissionDenied);
}

TEST_F(ProgramStart, ReturnsWithoutWaitingForTheProgram) {
  if (testing_support::kOnWindows) GTEST_SKIP() << "the slow program is a shell script";
  const auto marker = dir_ / "marker";
  const auto script = dir_ / "slow program";  // a blank in the path is no separator
  std::ofstream(script) << "#!/bin/sh\nsleep 1\ntouch '" << marker.string() << "'\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);

  const auto start = std::chrono::steady_clock::now();
  StartProgram(script.string());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  EXPECT_FALSE(std::filesystem::exists(marker));

  // The program runs on: its marker appears within a bounded wait.
  for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(std::filesystem::exists(marker));
}

}  // namespace
}  // namespace platform
