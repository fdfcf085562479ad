// SPDX-License-Identifier: MIT

#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "gateway_fixture.h"

namespace morvane::testing {
namespace {

class LogitTest : public GatewayTest {
 protected:
  LogitTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(windir());
  }
  ~LogitTest() override { std::filesystem::current_path(previous_); }

  static std::string Log() {
    std::ifstream in("tarnel.log", std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

 private:
  std::filesystem::path previous_;
};

TEST_F(LogitTest, AppendsOneQuotedDatedLineAndHandsItBack) {
  std::string data = "hello";
  wg_.Logit(data);
  EXPECT_TRUE(std::regex_match(data, std::regex(R"(\S+ \d\d:\d\d - hello)"))) << data;
  EXPECT_EQ(Log(), "\"" + data + "\"\r\n");

  std::string quoted = "say \"hi\"";
  wg_.Logit(quoted);
  EXPECT_EQ(Log(), "\"" + data + "\"\r\n\"" + quoted + "\"\r\n");
  EXPECT_EQ(wg_.error_description(), "");  // Logit leaves the properties alone
}

TEST_F(LogitTest, LineBreaksInTheDataCannotForgeASecondRecord) {
  for (const char* forged : {"a\r\n\"01/01/70 00:00 - forged", "a\nb", "a\rb"}) {
    std::filesystem::remove("tarnel.log");
    std::string data = forged;
    wg_.Logit(data);
    EXPECT_EQ(data.find_first_of("\r\n"), std::string::npos) << forged;
    EXPECT_EQ(data.size(), data.find(" - ") + 3 + std::string(forged).size()) << "one blank each";
    EXPECT_EQ(Log(), "\"" + data + "\"\r\n") << forged;
  }
}

TEST_F(LogitTest, AFailedWriteRaisesAfterTheLineWasComposed) {
  std::filesystem::create_directory("tarnel.log");
  std::string data = "x";
  EXPECT_NE(RaisedError([&] { wg_.Logit(data); }), 0);
  EXPECT_NE(data, "x");
}

}  // namespace
}  // namespace morvane::testing
