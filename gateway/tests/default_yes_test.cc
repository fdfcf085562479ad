// SPDX-License-Identifier: MIT

#include "gateway_fixture.h"
#include "tessaly/morvane/result_codes.h"

namespace morvane::testing {
namespace {

using DefaultYesTest = GatewayTest;

const std::string kOk(kSuccessText);

TEST_F(DefaultYesTest, KeysOfMoreThanFifteenCharactersAreRefusedWithoutConnecting) {
  auto& server = Serve("Key given\r\n");
  EXPECT_EQ(wg_.GiveKey("s", "bob", std::string(16, 'K')), Result(-102, "-102", 0, ""));
  EXPECT_EQ(wg_.TakeKey("s", "bob", std::string(16, 'K')).error_object.number, -102);
  // The marked style still leaves answer_string empty here.
  EXPECT_EQ(wg_.HasKey("s", "bob\r\n", std::string(16, 'K')), Result(-102, "-102", 0, ""));
  EXPECT_EQ(server.connections(), 0);
  EXPECT_EQ(wg_.GiveKey("s", "bob", "ééééééééééééééé"), Result(0, kOk, 1, ""));  // 15 characters
  EXPECT_EQ(server.connections(), 1);
}

TEST_F(DefaultYesTest, NoAnywhereIsANoForTheQuestions) {
  Serve("Not a master\r\n");
  EXPECT_EQ(wg_.HasMaster("s", "bob"), Result(0, kOk, 0, ""));
  Serve("Yes, master\r\n");
  EXPECT_EQ(wg_.HasMaster("s", "bob"), Result(0, kOk, 1, ""));
  Serve("status unknown\r\n");
  EXPECT_EQ(wg_.IsSuspended("s", "bob").long_value, 0);
  Serve("online\r\n");  // no n-o pair: a yes
  EXPECT_EQ(wg_.UserOnline("s", "bob"), Result(0, kOk, 1, "No Error"));
  Serve("NO\r\n");
  EXPECT_EQ(wg_.HasKey("s", "bob", "K"), Result(0, kOk, 0, "No Error"));
}

TEST_F(DefaultYesTest, ErrorsComeBeforeTheNegativeMarker) {
  Serve("No such user\r\n");
  EXPECT_EQ(wg_.UserOnline("s", "bob"), Result(-101, "No such user exists", 0, "Error"));
  Serve("No such user\r\n");
  EXPECT_EQ(wg_.IsSuspended("s", "bob"), Result(-101, "No such user exists", 0, ""));
  Serve("No such command\r\n");
  EXPECT_EQ(wg_.GiveKey("s", "bob", "K"), Result(-100, "No such command", 0, ""));
}

TEST_F(DefaultYesTest, UpdateUserFieldKnowsNoSuchField) {
  Serve("No such field\r\n");
  EXPECT_EQ(wg_.UpdateUserField("s", "bob", 3, "x"), Result(0, kOk, 0, "No Error"));
  Serve("Nothing changed\r\n");  // "NO" is not its marker
  EXPECT_EQ(wg_.UpdateUserField("s", "bob", 3, "x"), Result(0, kOk, 1, "No Error"));
}

TEST_F(DefaultYesTest, AuditMessageKnowsOnlyMalformed) {
  Serve("No such command\r\n");
  EXPECT_EQ(wg_.AuditMessage("s", "hello"), Result(0, kOk, 1, ""));
  Serve("Malformed request syntax\r\n");
  EXPECT_EQ(wg_.AuditMessage("s", "hello"), Result(-110, "Malformed request syntax", 0, ""));
}

TEST_F(DefaultYesTest, AMissingReplyIsNotAYes) {
  using namespace testing_support;
  ServeScript({Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), CloseNow()});
  EXPECT_EQ(wg_.HasKey("s", "bob", "K"),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, "Error"));
}

TEST_F(DefaultYesTest, SessionFailuresFollowTheStyle) {
  ServeScript({testing_support::Send("Hello\r\n")});
  EXPECT_EQ(wg_.GiveKey("s", "bob", "K"), Result(-502, std::string(kOutOfSyncText), 0, ""));
  ServeScript({testing_support::Send("Hello\r\n")});
  EXPECT_EQ(wg_.UpdateUserField("s", "bob", 1, "x").string_value, "Error");
}

}  // namespace
}  // namespace morvane::testing
