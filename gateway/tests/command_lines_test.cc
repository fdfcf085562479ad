// The exact bytes of every command line.

#include <functional>

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

}  // namespace
}  // namespace morvane::testing
