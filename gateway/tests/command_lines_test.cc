// SPDX-License-Identifier: MIT

// The exact bytes of every command line.

#include <functional>

#include "command_catalogue.h"
#include "gateway_fixture.h"

namespace morvane::testing {
namespace {

struct LineCase {
  const char* member;
  std::function<void(WG&)> call;
  std::string line;  // as Windows-1252 bytes
};

class CommandLinesTest : public GatewayTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CommandLinesTest, SendsTheLineByteForByte) {
  Serve("Ok is : 1\xF5\r\n");
  GetParam().call(wg_);
  EXPECT_EQ(SentCommand(), GetParam().line + "\r\n");
}

const std::string kUser = "Jo Ann";  // user IDs may hold blanks

// clang-format off
INSTANTIATE_TEST_SUITE_P(AllCommands, CommandLinesTest, ::testing::Values(
    LineCase{"UserIDExists", [](WG& w) { w.UserIDExists("s", kUser); }, "USERIDEXISTS Jo Ann"},
    LineCase{"AuthUser", [](WG& w) { w.AuthUser("s", kUser, "pw"); }, "AUTHUSER Jo Ann%%pw"},
    LineCase{"GiveKey", [](WG& w) { w.GiveKey("s", kUser, "KEY1"); }, "GIVEKEY KEY1 Jo Ann"},
    LineCase{"TakeKey", [](WG& w) { w.TakeKey("s", kUser, ""); }, "TAKEKEY  Jo Ann"},
    LineCase{"HasMaster", [](WG& w) { w.HasMaster("s", kUser); }, "HASMASTER Jo Ann"},
    LineCase{"IsSuspended", [](WG& w) { w.IsSuspended("s", kUser); }, "ISSUSPENDED Jo Ann"},
    LineCase{"NumberofCredits", [](WG& w) { w.NumberofCredits("s", kUser); }, "NUMBEROFCREDITS Jo Ann"},
    LineCase{"NumberOfDays", [](WG& w) { w.NumberOfDays("s", kUser); }, "NUMBEROFDAYS Jo Ann"},
    LineCase{"LastLogin", [](WG& w) { w.LastLogin("s", kUser); }, "LASTLOGIN Jo Ann"},
    LineCase{"CreationDate", [](WG& w) { w.CreationDate("s", kUser); }, "CREATIONDATE Jo Ann"},
    LineCase{"PrimaryClass", [](WG& w) { w.PrimaryClass("s", "Zoë"); }, "PRIMARYCLASS Zo\xEB"},
    LineCase{"CurrentClass", [](WG& w) { w.CurrentClass("s", kUser); }, "CURRENTCLASS Jo Ann"},
    LineCase{"UserOnline", [](WG& w) { w.UserOnline("s", kUser); }, "USERONLINE Jo Ann"},
    LineCase{"HasKey", [](WG& w) { w.HasKey("s", kUser, "clé"); }, "HASKEY cl\xE9 Jo Ann"},
    LineCase{"GiveCredits", [](WG& w) { w.GiveCredits("s", kUser, 50); }, "GIVECREDITS 50 Jo Ann"},
    LineCase{"GiveDays", [](WG& w) { w.GiveDays("s", kUser, -30); }, "GIVEDAYS -30 Jo Ann"},
    LineCase{"SystemVariable", [](WG& w) { w.SystemVariable("s", -3); }, "SYSTEMVARIABLE -3"},
    LineCase{"SwitchClass", [](WG& w) { w.SwitchClass("s", kUser, "VIP Users"); }, "SWITCHCLASS VIP Users Jo Ann"},
    LineCase{"DeleteUser", [](WG& w) { w.DeleteUser("s", kUser); }, "DELETEUSER Jo Ann"},
    LineCase{"UnDeleteUser", [](WG& w) { w.UnDeleteUser("s", kUser); }, "UNDELETEUSER Jo Ann"},
    LineCase{"SuspendUser", [](WG& w) { w.SuspendUser("s", kUser); }, "SUSPENDUSER Jo Ann"},
    LineCase{"UnSuspendUser", [](WG& w) { w.UnSuspendUser("s", kUser); }, "UNSUSPENDUSER Jo Ann"},
    LineCase{"UpdateUserField", [](WG& w) { w.UpdateUserField("s", kUser, -2, "a b€"); }, "UPDATEUSERFIELD -2 Jo Ann%%a b\x80"},
    LineCase{"AuditMessage", [](WG& w) { w.AuditMessage("s", "  spaced  • "); }, "AUDITMESSAGE   spaced  \x95 "}),
    [](const auto& test) { return std::string(test.param.member); });
// clang-format on

TEST(ComposeLine, TakesOneArgumentForEachParameterAfterTheSecret) {
  const std::string_view one[] = {"bob"};
  const std::string_view two[] = {"bob", "pw"};
  EXPECT_EQ(ComposeLine(kCommands[kAuthUser], two), "AUTHUSER bob%%pw\r\n");
  EXPECT_EQ(RaisedError([&] { ComposeLine(kCommands[kAuthUser], one); }),
            platform::kWrongArgumentCount);
  EXPECT_EQ(RaisedError([&] { ComposeLine(kCommands[kUserIDExists], two); }),
            platform::kWrongArgumentCount);
  EXPECT_EQ(RaisedError([&] { ComposeLine(kCommands[kGiveKey], {}); }),
            platform::kWrongArgumentCount);
}

// What the help texts say, made from the rows.
struct HelpCase {
  CommandIndex command;
  std::string_view excerpt;
};

// clang-format off
constexpr HelpCase kHelpCases[] = {
    {kGiveCredits, "Sends \"GIVECREDITS creds userid\"."},
    {kAuthUser, "Sends \"AUTHUSER userid%%password\"."},
    {kUpdateUserField, "Sends \"UPDATEUSERFIELD field userid%%newdata\"."},
    {kHasMaster, "Answers: answer_long 0 when the reply contains \"NO\"; otherwise answer_long 1.\n"},
    {kHasKey, "-102 when the key is longer than 15 characters (nothing is sent)"},
    {kNumberofCredits, "Answers: answer_long is the value after \"is : \".\nResult codes: 0; -110 Malformed request syntax; -100 No such command; -101 No such user exists; -109"},
    {kNumberofCredits, "Raises PlatformError when the value is not a number."},
    {kPrimaryClass, "answer_string is the value after \"is : \""},
    {kDeleteUser, "-108 User is protected;"},
    {kGiveDays, "otherwise answer_long 0 (a reply it does not recognise)"},
    {kSystemVariable, "-106 No such system variable exists;"},
    {kAuditMessage, "-506 bad communication."},
};
// clang-format on

TEST(CommandHelp, IsMadeFromTheRow) {
  for (const HelpCase& c : kHelpCases) {
    const std::string help = CommandHelp(kCommands[c.command]);
    EXPECT_TRUE(help.starts_with(kCommands[c.command].summary)) << help;
    EXPECT_NE(help.find(c.excerpt), std::string::npos) << help << "\nlacks: " << c.excerpt;
  }
  EXPECT_EQ(CommandHelp(kCommands[kPrimaryClass]).find("Raises"), std::string::npos);
}

}  // namespace
}  // namespace morvane::testing
