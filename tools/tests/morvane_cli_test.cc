// SPDX-License-Identifier: MIT

// The script host: its command line, its output and its exit statuses,
// run in-process against the simulator.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "command_line.h"
#include "result_output.h"
#include "script_host.h"
#include "support/simulator_fixture.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"

namespace morvane_tool {
namespace {

using platform::ParamInfo;
using platform::VarType;
using tools_testing::kTestSecret;

Invocation Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CommandLineTest, OptionsComeBeforeTheMemberAndEverythingAfterIsAnArgument) {
  const Invocation call = Parse({"--json", "--secret-stdin", "GiveDays", "-30", "--json", "-bob-"});
  EXPECT_TRUE(call.json);
  EXPECT_TRUE(call.secret_from_stdin);
  EXPECT_EQ(call.member, "GiveDays");
  EXPECT_EQ(call.args, (std::vector<std::string>{"-30", "--json", "-bob-"}));

  EXPECT_EQ(Parse({"--", "-odd-member"}).member, "-odd-member");
  EXPECT_EQ(Parse({"--list"}).mode, Invocation::Mode::kList);
  EXPECT_EQ(Parse({"--version"}).mode, Invocation::Mode::kVersion);
  EXPECT_THROW(Parse({"--version", "GetLocalPort"}), UsageError);
  EXPECT_EQ(Parse({"-h"}).mode, Invocation::Mode::kHelp);
  EXPECT_THROW(Parse({}), UsageError);
  EXPECT_THROW(Parse({"--json"}), UsageError) << "no member";
  EXPECT_THROW(Parse({"--verbose", "GetLocalPort"}), UsageError) << "an unknown option";
  EXPECT_THROW(Parse({"--list", "GetLocalPort"}), UsageError);
}

TEST(CommandLineTest, NumbersAreDecimalWithinTheParameterType) {
  const ParamInfo days{"days", VarType::kLong};
  const ParamInfo field{"field", VarType::kInteger};
  const ParamInfo text{"userid", VarType::kString};
  EXPECT_EQ(ArgumentValue(days, "-30"), platform::Variant(int32_t{-30}));
  EXPECT_EQ(ArgumentValue(days, "+7"), platform::Variant(int32_t{7}));
  EXPECT_EQ(ArgumentValue(days, "-2147483648"), platform::Variant(int32_t{INT32_MIN}));
  EXPECT_EQ(ArgumentValue(field, "32767"), platform::Variant(int16_t{32767}));
  EXPECT_EQ(ArgumentValue(text, "-12x"), platform::Variant(std::string("-12x")));
  for (const char* bad :
       {"", "12x", " 12", "1.5", "2147483648", "0x10", "+-1", "--1", "\xD9\xA3"}) {
    EXPECT_THROW(ArgumentValue(days, bad), UsageError) << bad;
  }
  EXPECT_THROW(ArgumentValue(field, "32768"), UsageError);
}

TEST(ResultOutputTest, JsonStringsAreEscapedAndAlwaysValid) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
  EXPECT_EQ(JsonString("a\r\nb\tc\x01\x7F"), "\"a\\r\\nb\\tc\\u0001\\u007f\"");
  EXPECT_EQ(JsonString("Jérôme õ €"), "\"Jérôme õ €\"") << "UTF-8 passes unchanged";
  EXPECT_EQ(JsonString("bad \xF5 byte \xC3"), "\"bad \\ufffd byte \\ufffd\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"") << "a surrogate";
}

// Plain output goes to terminals: nothing from a reply may reach one as a
// control character, C1 (U+0080 to U+009F, from reply bytes such as 0x9D)
// included.
TEST(ResultOutputTest, PlainTextShowsEveryControlEscaped) {
  const struct {
    const char* text;
    const char* shown;
  } rows[] = {
      {"plain é € õ", "plain é € õ"},
      {"a\tb\x1B[2J\x7F", "a\\x09b\\x1B[2J\\x7F"},
      {"\xC2\x9B"
       "31m",
       "\\u009B31m"},  // CSI
      {"\xC2\x85\xC2\x80\xC2\x9F\xC2\xA0", "\\u0085\\u0080\\u009F\xC2\xA0"},
      {"bad \x9B byte \xC3", "bad \\x9B byte \\xC3"},
  };
  for (const auto& row : rows) EXPECT_EQ(PlainText(row.text), row.shown) << row.text;
}

TEST(ScriptHostSecretTest, TheSecretLineIsCappedAt64KiB) {
  const auto read = [](const std::string& input) {
    std::istringstream in(input);
    return ReadSecretLine(in);
  };
  EXPECT_EQ(read("pw\nnext"), "pw");
  EXPECT_EQ(read("pw\r\n"), "pw");
  EXPECT_EQ(read("pw"), "pw");
  EXPECT_EQ(read("\n"), "");
  EXPECT_EQ(read(""), std::nullopt);
  EXPECT_EQ(read(std::string(kMaxSecretBytes, 's') + "\r\n")->size(), kMaxSecretBytes);
  EXPECT_THROW(read(std::string(kMaxSecretBytes + 1, 's')), UsageError);
  EXPECT_THROW(read(std::string(kMaxSecretBytes + 1, 's') + "\r\n"), UsageError);
  // A runaway pipe is not read to its end.
  std::istringstream endless(std::string(4 * kMaxSecretBytes, 's'));
  EXPECT_THROW(ReadSecretLine(endless), UsageError);
  EXPECT_LE(static_cast<size_t>(endless.tellg()), kMaxSecretBytes + 2);
}

TEST(ResultOutputTest, TheFourPropertiesPlainAndAsJson) {
  const ResultProperties result{-101, "No such user exists", 0, "Er\"ror"};
  EXPECT_EQ(FormatResultProperties(result, /*json=*/true),
            "{\"error_number\": -101, \"error_description\": \"No such user exists\", "
            "\"answer_long\": 0, \"answer_string\": \"Er\\\"ror\"}\n");
  EXPECT_EQ(FormatResultProperties(result, /*json=*/false),
            "error_number: -101\nerror_description: No such user exists\nanswer_long: 0\n"
            "answer_string: Er\"ror\n");
  EXPECT_EQ(
      FormatResultProperties({0, "", 7, "two\r\nlines"}, false),
      "error_number: 0\nerror_description: \nanswer_long: 7\nanswer_string: two\\x0D\\x0Alines\n");
}

TEST(ResultOutputTest, ValuesAndTheMemberList) {
  EXPECT_EQ(FormatValue(int32_t{3425}, true), "{\"result\": 3425}\n");
  EXPECT_EQ(FormatValue(std::string("127.0.0.1"), true), "{\"result\": \"127.0.0.1\"}\n");
  EXPECT_EQ(FormatValue(std::string("127.0.0.1"), false), "127.0.0.1\n");
  EXPECT_EQ(FormatValue(std::monostate{}, true), "{\"result\": null}\n");

  const morvane::WG wg;
  const std::string list = FormatMemberList(wg.Members());
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 33);
  EXPECT_NE(list.find("0x68030003  error_number As Long  [read-only property]\n"),
            std::string::npos);
  EXPECT_NE(
      list.find(
          "0x60030014  GiveCredits(secret As String, userid As String, creds As Long) As Record\n"),
      std::string::npos);
  EXPECT_NE(
      list.find("0x6003001c  UpdateUserField(secret As String, userid As String, field As Integer, "
                "newdata As String) As Record\n"),
      std::string::npos);
  EXPECT_NE(list.find("0x60030022  Logit(data As String (written back))\n"), std::string::npos);
}

// The host run in-process against the simulator.
class ScriptHostTest : public tools_testing::SimulatorTest {
 protected:
  struct Run {
    int status;
    std::string out, err;
  };
  Run Host(std::vector<std::string> args, std::optional<std::string> secret = std::nullopt) {
    std::ostringstream out, err;
    const int status = RunScriptHost(args, out, err, [&] { return secret; });
    return {status, out.str(), err.str()};
  }
};

TEST_F(ScriptHostTest, MembersAreBoundByNameInAnyCase) {
  const Run run = Host({"--json", "nUmBeRoFcReDiTs", kTestSecret, "alice smith"});
  EXPECT_EQ(run.status, kExitReturned) << run.err;
  EXPECT_EQ(run.out,
            "{\"error_number\": 0, \"error_description\": \"No error occured, return value is a "
            "literal answer\", \"answer_long\": 100, \"answer_string\": \"\"}\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(ScriptHostTest, AnErrorNumberIsStillAReturn) {
  const Run run = Host({"GiveDays", kTestSecret, "Alice Smith", "-3000"});
  EXPECT_EQ(run.status, kExitReturned);
  EXPECT_EQ(run.out,
            "error_number: -105\nerror_description: This AddDays action would result in the user "
            "having negative days\nanswer_long: 0\nanswer_string: Error\n");
}

TEST_F(ScriptHostTest, UsageErrorsExitWithTwoAndCallNothing) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"NoSuchMember"},
        {"GiveCredits", kTestSecret, "Alice Smith"},
        {"GiveCredits", kTestSecret, "Alice Smith", "5", "extra"},
        {"GiveCredits", kTestSecret, "Alice Smith", "five"},
        {"--bogus", "GetLocalPort"}}) {
    const Run run = Host(args);
    EXPECT_EQ(run.status, kExitUsage) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: morvane"), std::string::npos);
  }
  EXPECT_EQ(BookOnDisk().Find("Alice Smith")->credits, 100);
}

TEST_F(ScriptHostTest, ThePlatformErrorOfABadSettingsFileExitsWithOne) {
  morvane::WriteSettingsRecord(morvane::SettingsFilePath(), morvane::SettingsRecord::FromValues(
                                                                "127.0.0.1", "127.0.0.1", "port"));
  const Run run = Host({"UserIDExists", kTestSecret, "Alice Smith"});
  EXPECT_EQ(run.status, kExitPlatformError);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error 13: Type mismatch\n");

  const Run json = Host({"--json", "UserIDExists", kTestSecret, "Alice Smith"});
  EXPECT_EQ(json.status, kExitPlatformError);
  EXPECT_EQ(json.out, "{\"platform_error\": 13, \"description\": \"Type mismatch\"}\n");
  EXPECT_EQ(json.err, "");
}

TEST_F(ScriptHostTest, VersionAndTheDefaultHostsNote) {
  const Run version = Host({"--version"});
  EXPECT_EQ(version.status, kExitReturned);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("morvane \\d+\\.\\d+\\.\\d+\n")))
      << version.out;

  // Only a reader here: a command would go to the default host.
  std::filesystem::remove(morvane::SettingsFilePath());
  const Run defaults = Host({"GetLocalPort"});
  EXPECT_EQ(defaults.out, "3425\n");
  EXPECT_NE(defaults.err.find("no settings file at " + morvane::SettingsFilePath()),
            std::string::npos)
      << defaults.err;
  EXPECT_NE(defaults.err.find("built-in defaults: remote host 192.168.0.2"), std::string::npos);
  EXPECT_EQ(Host({"error_number"}).err, "") << "a member that reads no settings";
}

TEST_F(ScriptHostTest, TheSecretCanComeFromStandardInput) {
  Run run = Host({"--secret-stdin", "--json", "GiveCredits", "Alice Smith", "5"}, kTestSecret);
  EXPECT_EQ(run.status, kExitReturned) << run.err;
  EXPECT_NE(run.out.find("\"answer_long\": 1,"), std::string::npos) << run.out;
  EXPECT_EQ(BookOnDisk().Find("Alice Smith")->credits, 105);

  run = Host({"--secret-stdin", "GiveCredits", "Alice Smith", "5"}, std::nullopt);
  EXPECT_EQ(run.status, kExitUsage) << "nothing on standard input";
  run = Host({"--secret-stdin", "GetLocalPort"}, kTestSecret);
  EXPECT_EQ(run.status, kExitUsage) << "a member without a secret";
}

TEST_F(ScriptHostTest, SettingsReadersLogitAndTheSocket) {
  EXPECT_EQ(Host({"--json", "GetLocalPort"}).out, "{\"result\": " + std::to_string(port()) + "}\n");
  EXPECT_EQ(Host({"getremotehost"}).out, "127.0.0.1\n");
  const Run socket = Host({"InitWinsock"});
  EXPECT_EQ(socket.status, kExitReturned);
  EXPECT_EQ(socket.out,
            "VBWinsock.TCPIP local host \"127.0.0.1\", remote host \"127.0.0.1\", remote port " +
                std::to_string(port()) + ", not connected\n");
  EXPECT_EQ(Host({"error_number"}).out, "0\n") << "a property of a fresh object";

  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const Run logit = Host({"--json", "Logit", "hello \"there\""});
  std::filesystem::current_path(previous);
  EXPECT_TRUE(logit.out.starts_with("{\"result\": \"")) << logit.out;
  EXPECT_TRUE(logit.out.ends_with(" - hello \\\"there\\\"\"}\n")) << logit.out;
  EXPECT_TRUE(std::filesystem::exists(dir_ / "tarnel.log"));
}

}  // namespace
}  // namespace morvane_tool
