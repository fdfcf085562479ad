// SPDX-License-Identifier: MIT

// The command frame on the two identity commands, and the refusals every
// command makes before it connects.

#include "gateway_fixture.h"
#include "tessaly/morvane/result_codes.h"

namespace morvane::testing {
namespace {

using namespace testing_support;
using IdentityTest = GatewayTest;

const std::string kOk(kSuccessText);

TEST_F(IdentityTest, ANewObjectHasEmptyResults) {
  EXPECT_EQ(wg_.error_number(), 0);
  EXPECT_EQ(wg_.error_description(), "");
  EXPECT_EQ(wg_.answer_long(), 0);
  EXPECT_EQ(wg_.answer_string(), "");
}

TEST_F(IdentityTest, UserIDExistsTakesAnyNOAsNo) {
  Serve("No such user\r\n");
  EXPECT_EQ(wg_.UserIDExists("s", "bob"), Result(0, kOk, 0, ""));
  Serve("User SNOW exists\r\n");  // the letters n and o side by side
  EXPECT_EQ(wg_.UserIDExists("s", "snow").long_value, 0);
  Serve("No such command\r\n");
  EXPECT_EQ(wg_.UserIDExists("s", "bob"), Result(0, kOk, 0, ""));
  Serve("Yes\r\n");
  EXPECT_EQ(wg_.UserIDExists("s", "bob"), Result(0, kOk, 1, ""));
  Serve("malformed REQUEST syntax - no\r\n");
  EXPECT_EQ(wg_.UserIDExists("s", "bob"), Result(-110, "Malformed request syntax", 0, ""));
}

TEST_F(IdentityTest, AuthUserSendsUserAndPasswordJoinedByTwoPercentSigns) {
  Serve("Password is correct\r\n");
  EXPECT_EQ(wg_.AuthUser("s", "Sir Bob%", "p w"), Result(0, kOk, 1, ""));
  EXPECT_EQ(SentCommand(), "AUTHUSER Sir Bob%%%p w\r\n");
}

TEST_F(IdentityTest, AuthUserRulesInOrder) {
  Serve("Password is incorrect\r\n");
  EXPECT_EQ(wg_.AuthUser("s", "bob", "x"), Result(0, kOk, 0, ""));
  Serve("No such user\r\n");
  EXPECT_EQ(wg_.AuthUser("s", "bob", "x"), Result(-101, "No such user exists", 0, ""));
  Serve("No such command; No such user\r\n");
  EXPECT_EQ(wg_.AuthUser("s", "bob", "x"), Result(-100, "No such command", 0, ""));
  Serve("No such user: Malformed request syntax\r\n");
  EXPECT_EQ(wg_.AuthUser("s", "bob", "x").error_object.number, -110);
}

TEST_F(IdentityTest, EveryCommandStoresItsResultInTheProperties) {
  Serve("No such user\r\n");
  const CommandReturn result = wg_.AuthUser("s", "bob", "x");
  EXPECT_EQ(wg_.error_number(), result.error_object.number);
  EXPECT_EQ(wg_.error_description(), result.error_object.description);
  EXPECT_EQ(wg_.answer_long(), result.long_value);
  EXPECT_EQ(wg_.answer_string(), result.string_value);
}

// A reply that never came must not read as "exists" or "correct password".
TEST_F(IdentityTest, AMissingReplyIsBadCommunicationNotAYes) {
  ServeScript({Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), CloseNow()});
  EXPECT_EQ(wg_.AuthUser("s", "bob", "x"),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));
  ServeScript({Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), CloseNow()});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kBadCommunication);
  EXPECT_EQ(wg_.answer_long(), 0);
}

TEST_F(IdentityTest, WhatTheWireCannotCarryIsRefusedBeforeConnecting) {
  auto& server = Serve("yes\r\n");
  const CommandReturn refused =
      Result(kInvalidCharacter, "Error Code -109: Invalid character in argument", 0, "");
  EXPECT_EQ(wg_.UserIDExists("s", "bob\r\nDELETEUSER alice"), refused);
  EXPECT_EQ(wg_.AuthUser("s", "bob", "pw\n"), refused);
  EXPECT_EQ(wg_.AuthUser(std::string("s\0x", 3), "bob", "pw"), refused);
  EXPECT_EQ(wg_.DeleteUser("s\r", "bob").string_value, "Error");
  EXPECT_EQ(wg_.error_number(), kInvalidCharacter);
  // Characters outside Windows-1252 would arrive as '?': another account.
  EXPECT_EQ(wg_.UserIDExists("s", "Zoē"), refused);
  EXPECT_EQ(wg_.AuthUser("s", "bob", "pw中"), refused);
  EXPECT_EQ(wg_.AuthUser("sé\xC3", "bob", "pw"), refused) << "malformed UTF-8";
  EXPECT_EQ(wg_.GiveCredits("s", "Zoē", 500).error_object.number, kInvalidCharacter);
  EXPECT_EQ(wg_.DeleteUser("s", "Łukasz").string_value, "Error");
  EXPECT_EQ(server.connections(), 0);
}

}  // namespace
}  // namespace morvane::testing
