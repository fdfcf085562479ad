// SPDX-License-Identifier: MIT

#include "gateway_fixture.h"
#include "tessaly/morvane/result_codes.h"

namespace morvane::testing {
namespace {

using ConfirmedChangesTest = GatewayTest;

const CommandReturn kDone = Result(0, std::string(kSuccessText), 1, "No Error");
const CommandReturn kUnrecognised = Result(0, "", 0, "");

TEST_F(ConfirmedChangesTest, OkAnywhereConfirms) {
  Serve("BOOKED\r\n");
  EXPECT_EQ(wg_.GiveCredits("s", "bob", 50), kDone);
  Serve("ok\r\n");
  EXPECT_EQ(wg_.SwitchClass("s", "bob", "VIP"), kDone);
  Serve("Done\r\n");
  EXPECT_EQ(wg_.GiveDays("s", "bob", 5), kUnrecognised);
}

TEST_F(ConfirmedChangesTest, EachCommandHasItsOwnRuleOrder) {
  Serve("Ok? Unable to comply\r\n");  // GiveCredits looks for the confirmation first
  EXPECT_EQ(wg_.GiveCredits("s", "bob", 1), kDone);
  Serve("Ok? Unable to comply\r\n");  // GiveDays looks for its errors first
  EXPECT_EQ(wg_.GiveDays("s", "bob", 1),
            Result(-104, "Server returned an unknown error", 0, "Error"));
  Serve("Action would place user at negative days. Ok\r\n");
  EXPECT_EQ(wg_.GiveDays("s", "bob", -30),
            Result(-105, "This AddDays action would result in the user having negative days", 0,
                   "Error"));
  Serve("No such class, Ok\r\n");
  EXPECT_EQ(wg_.SwitchClass("s", "bob", "x"), Result(-107, "No such class", 0, "Error"));
  Serve("User is protected\r\n");
  EXPECT_EQ(wg_.DeleteUser("s", "bob"), Result(-108, "User is protected", 0, "Error"));
}

TEST_F(ConfirmedChangesTest, ConfirmationsAreExactTexts) {
  Serve("User is deleted\r\n");
  EXPECT_EQ(wg_.DeleteUser("s", "bob"), kDone);
  Serve("User is undeleted\r\n");  // "User is deleted" is not part of it
  EXPECT_EQ(wg_.DeleteUser("s", "bob"), kUnrecognised);
  Serve("User is undeleted\r\n");
  EXPECT_EQ(wg_.UnDeleteUser("s", "bob"), kDone);
  Serve("User is unsuspended\r\n");
  EXPECT_EQ(wg_.SuspendUser("s", "bob"), kUnrecognised);
  Serve("User is suspended\r\n");
  EXPECT_EQ(wg_.UnSuspendUser("s", "bob"), kUnrecognised);
  Serve("USER IS UNSUSPENDED\r\n");
  EXPECT_EQ(wg_.UnSuspendUser("s", "bob"), kDone);
}

TEST_F(ConfirmedChangesTest, OnlyMalformedLeavesTheStatusWordEmpty) {
  Serve("Malformed request syntax\r\n");
  EXPECT_EQ(wg_.SuspendUser("s", "bob"), Result(-110, "Malformed request syntax", 0, ""));
  Serve("No such user\r\n");
  EXPECT_EQ(wg_.SuspendUser("s", "bob"), Result(-101, "No such user exists", 0, "Error"));
  Serve("No such command\r\n");
  EXPECT_EQ(wg_.GiveCredits("s", "bob", 1), Result(-100, "No such command", 0, "Error"));
}

TEST_F(ConfirmedChangesTest, SessionFailuresCarryTheErrorWord) {
  ServeScript({testing_support::Send("Hello\r\n")});
  EXPECT_EQ(wg_.UnDeleteUser("s", "bob"), Result(-502, std::string(kOutOfSyncText), 0, "Error"));
}

}  // namespace
}  // namespace morvane::testing
