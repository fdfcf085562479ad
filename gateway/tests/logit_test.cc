// SPDX-License-Identifier: MIT

#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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
  // Whatever a reader may split lines on becomes one blank: every C0
  // control character and NEL. Everything else is kept as it came.
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"a\r\n\"01/01/70 00:00 - forged", "a  \"01/01/70 00:00 - forged"},
      {"a\nb", "a b"},
      {"a\rb", "a b"},
      {"a\vb\fc\x1C\x1D\x1E", "a b c   "},
      {std::string("a\0b\tc", 5), "a b c"},
      {"a\u0085b", "a b"},
      {"Tõnu \u2028 ~\x7F", "Tõnu \u2028 ~\x7F"},
  };
  for (const auto& [forged, kept] : rows) {
    std::filesystem::remove("tarnel.log");
    std::string data = forged;
    wg_.Logit(data);
    EXPECT_EQ(data.substr(data.find(" - ") + 3), kept) << forged;
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
